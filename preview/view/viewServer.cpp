#include "view/viewServer.h"

#include <httplib.h>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include "inputEcho.h"
#include "view/connectionStream.h"
#include "view/connectionThreads.h"
#include "view/pageFiles.h"
#include "view/viewJson.h"

namespace flakecoat::preview::view {

// The library's server with the viewer's own connection handling: each
// connection read and written through a ConnectionStream (time limits, a
// stop that acts at once) on a thread of ConnectionThreads.
class ViewServer::GuardedServer : public httplib::Server {
public:
    GuardedServer() {
        new_task_queue = [] { return new ConnectionThreads(kMaxConnectionThreads); };
        // The library's default adds SO_REUSEPORT, which lets a second
        // server bind the same port and take half the connections.
        set_socket_options([](socket_t socket) {
            const int yes = 1;
            setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        });
    }
    void stopServing() {
        stopping_.store(true);
        stop();
    }

private:
    static constexpr std::size_t kMaxConnectionThreads = 64;
    static constexpr int kMaxRequestsPerConnection = 100;

    bool process_and_close_socket(socket_t socket) override {
        // A response goes out as its head and then its body: held back
        // until the head's acknowledgement, which the client delays, the
        // body would wait some 40 ms, on every image and every change.
        const int noDelay = 1;
        setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &noDelay, sizeof noDelay);
        {
            const ConnectionLimits limits;
            ConnectionStream stream(socket, stopping_, limits);
            for (int served = 0; served < kMaxRequestsPerConnection; ++served) {
                if (!stream.readRequestHead(limits.idle)) break;
                const bool last = served + 1 == kMaxRequestsPerConnection || stopping_.load();
                bool closed = false;
                if (!process_request(stream, last, closed, nullptr) || closed) break;
            }
        }
        ::shutdown(socket, SHUT_RDWR);
        ::close(socket);
        return true;
    }

    std::atomic<bool> stopping_{false};
};

namespace {

// How long a request for a newer image waits before answering 204.
constexpr std::chrono::seconds kImageWait{20};

void sendText(httplib::Response& response, int status, const std::string& text) {
    response.status = status;
    response.set_content(text + "\n", "text/plain; charset=utf-8");
}

void sendJson(httplib::Response& response, const std::string& json) {
    response.set_header("Cache-Control", "no-store");
    response.set_content(json, "application/json");
}

std::string trimmed(const std::string& text) {
    const std::string::size_type first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool parseCount(const std::string& text, std::uint64_t& value) {
    if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    value = std::stoull(text);
    return true;
}

// Answers a setting change: the generation that shows it, or the message.
void sendChange(httplib::Response& response, bool accepted, std::uint64_t generation, const std::string& error) {
    if (!accepted) return sendText(response, 400, error);
    sendJson(response, "{\"generation\":" + std::to_string(generation) + "}");
}

}  // namespace

ViewServer::ViewServer(ViewSession& session, LatestImage& images)
    : session_(session), images_(images), server_(std::make_unique<GuardedServer>()) {
    httplib::Server& server = *server_;
    server.set_payload_max_length(kMaxRequestBody);

    // Only this server's own loopback name, and only pages of its own origin:
    // a page elsewhere (or a DNS name rebound to 127.0.0.1) cannot drive it.
    server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
        const std::string port = std::to_string(port_);
        const std::string host = request.get_header_value("Host");
        if (host != "127.0.0.1:" + port && host != "localhost:" + port) {
            sendText(response, 403, "refused: Host must be 127.0.0.1:" + port + " or localhost:" + port);
            return httplib::Server::HandlerResponse::Handled;
        }
        const std::string origin = request.get_header_value("Origin");
        const std::string site = request.get_header_value("Sec-Fetch-Site");
        if ((!origin.empty() && origin != "http://" + host) ||
            (!site.empty() && site != "same-origin" && site != "none")) {
            sendText(response, 403, "refused: request from another origin");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });

    for (const PageFile& file : pageFiles()) {
        const std::string path = file.path == "/index.html" ? "/" : std::string(file.path);
        server.Get(path, [file](const httplib::Request&, httplib::Response& response) {
            response.set_header("Cache-Control", "no-cache");
            response.set_content(file.body.data(), file.body.size(), std::string(file.contentType).c_str());
        });
    }

    server.Get("/inputs", [this](const httplib::Request& request, httplib::Response& response) {
        const std::string host = request.has_param("host") ? request.get_param_value("host") : session_.settings().host;
        if (!session_.host(host)) return sendText(response, 404, "no host named '" + echoInput(host) + "' is loaded");
        sendJson(response, inputsJson(session_, host));
    });
    server.Get("/state", [this](const httplib::Request&, httplib::Response& response) {
        sendJson(response, stateJson(session_));
    });
    server.Post("/set", [this](const httplib::Request& request, httplib::Response& response) {
        std::uint64_t generation = 0;
        std::string error;
        const bool accepted = session_.setInput(trimmed(request.body), generation, error);
        sendChange(response, accepted, generation, error);
    });
    server.Post("/view", [this](const httplib::Request& request, httplib::Response& response) {
        std::uint64_t generation = 0;
        std::string error;
        const bool accepted = session_.setView(trimmed(request.body), generation, error);
        sendChange(response, accepted, generation, error);
    });
    server.Post("/reset", [this](const httplib::Request&, httplib::Response& response) {
        sendChange(response, true, session_.resetInputs(), "");
    });
    server.Get("/look", [this](const httplib::Request&, httplib::Response& response) {
        response.set_header("Content-Disposition", "attachment; filename=\"flakecoat-look.json\"");
        sendJson(response, session_.lookText());
    });
    server.Post("/look", [this](const httplib::Request& request, httplib::Response& response) {
        std::uint64_t generation = 0;
        std::vector<std::string> notes;
        std::string error;
        if (!session_.loadLook(request.body, generation, notes, error)) return sendText(response, 400, error);
        sendJson(response, lookLoadedJson(generation, notes));
    });

    server.Get("/image.png", [this](const httplib::Request& request, httplib::Response& response) {
        std::uint64_t after = 0, generation = 0;
        if ((request.has_param("after") && !parseCount(request.get_param_value("after"), after)) ||
            (request.has_param("generation") && !parseCount(request.get_param_value("generation"), generation)))
            return sendText(response, 400, "after and generation must be whole numbers");
        PublishedImage image;
        if (!images_.waitFor(after, generation, kImageWait, image)) {
            response.status = 204;  // nothing newer yet: ask again
            return;
        }
        response.set_header("Cache-Control", "no-store");
        response.set_header("X-Image-Serial", std::to_string(image.serial));
        response.set_header("X-Image-Generation", std::to_string(image.generation));
        response.set_header("X-Image-Spp", std::to_string(image.samplesPerPixel));
        response.set_header("X-Image-Divisor", std::to_string(image.divisor));
        if (!image.note.empty()) response.set_header("X-Image-Note", image.note);
        response.set_content(reinterpret_cast<const char*>(image.png->data()), image.png->size(), "image/png");
    });

    server.set_error_handler([](const httplib::Request& request, httplib::Response& response) {
        if (!response.body.empty()) return;
        if (response.status == 404) return sendText(response, 404, "no such page: " + echoInput(request.path));
        if (response.status == 413)
            return sendText(response, 413, "request body larger than " + std::to_string(kMaxRequestBody) + " bytes");
        sendText(response, response.status, "request refused");
    });
}

ViewServer::~ViewServer() = default;

int ViewServer::bind(int port, std::string& error) {
    port_ = port == 0 ? server_->bind_to_any_port("127.0.0.1") : (server_->bind_to_port("127.0.0.1", port) ? port : -1);
    if (port_ < 0) error = "cannot listen on 127.0.0.1:" + std::to_string(port) + " (in use?)";
    return port_;
}

void ViewServer::run() { server_->listen_after_bind(); }

void ViewServer::stop() {
    images_.close();
    server_->stopServing();
}

}  // namespace flakecoat::preview::view
