#include "objectOptions.h"

namespace fp = flakecoat::preview;

void addPaintedObjectOptions(CLI::App& command, fp::PaintedObject& object) {
    command.add_option("--shape", object.shape, std::string("The painted object: ") + fp::shapeNames())
        ->capture_default_str();
    command.add_option("--mesh", object.meshFile,
                       "Paint this OBJ model instead (in its own coordinates; framed, lit and grounded as the ball)");
    command.add_option("--rotate", object.rotateDegrees,
                       "Turn the model by DEG degrees about the vertical through its centre");
}
