#ifndef FLAKECOAT_PREVIEW_VIEW_VIEW_SERVER_H
#define FLAKECOAT_PREVIEW_VIEW_VIEW_SERVER_H

// The viewer's HTTP interface on 127.0.0.1, for the page and for scripts:
//   GET  /                the page (and its /viewer.js, /viewer.css)
//   GET  /inputs          the shown host's controls as JSON (?host=NAME for another)
//   GET  /state           the settings, values in effect and the equivalent render command
//   POST /set             body NAME=VALUE: a shading input, checked as --set checks it
//   POST /view            body KEY=VALUE: host, lights, environment, exposure
//   POST /reset           the shown host's inputs back to their defaults
//   GET  /look            both hosts' looks and the stage as a look file
//   POST /look            body a look file: its looks, host, lights, environment, exposure and seed
//   GET  /image.png       the latest image; ?after=SERIAL[&generation=G] waits for a newer one;
//                         X-Image-Note says what is wrong with it (samples that were not finite);
//                         X-Image-Divisor above 1: a reduced preview, to be shown scaled up
// A refused setting answers 400 with the message as plain text. Requests
// whose Host is not this server's loopback name and port, and requests a
// page of another origin sends, are refused with 403; bodies are bounded.
// Connections are served on threads of their own (up to 64) under time
// limits (see connectionStream.h), so slow clients neither starve the
// others nor hold up a stop.

#include <memory>
#include <string>

#include "view/latestImage.h"
#include "view/viewSession.h"

namespace httplib {
class Server;
}

namespace flakecoat::preview::view {

constexpr std::size_t kMaxRequestBody = 4096;

class ViewServer {
public:
    ViewServer(ViewSession& session, LatestImage& images);
    ~ViewServer();

    // Binds 127.0.0.1:port (0 for any free port); returns the port, or -1
    // with error set, also when another server listens there already.
    int bind(int port, std::string& error);
    // Serves until stop(); call after bind().
    void run();
    // Thread-safe; also wakes requests waiting for an image. Every
    // connection ends within a fraction of a second.
    void stop();

private:
    class GuardedServer;
    ViewSession& session_;
    LatestImage& images_;
    std::unique_ptr<GuardedServer> server_;
    int port_ = -1;
};

}  // namespace flakecoat::preview::view

#endif
