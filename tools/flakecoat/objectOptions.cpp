#include "objectOptions.h"

#include <cmath>

#include "inputEcho.h"

namespace fp = flakecoat::preview;

void addPaintedObjectOptions(CLI::App& command, fp::PaintedObject& object) {
    command.add_option("--shape", object.shape, std::string("The painted object: ") + fp::shapeNames())
        ->capture_default_str();
    command.add_option("--mesh", object.meshFile,
                       "Paint this OBJ model instead (in its own coordinates; framed, lit and grounded as the ball)");
    command.add_option("--rotate", object.rotateDegrees,
                       "Turn the model by DEG degrees about the vertical through its centre");
}

bool checkPaintedObject(const fp::PaintedObject& object, std::string& error) {
    if (!fp::isShapeName(object.shape)) {
        error = "--shape " + flakecoat::echoInput(object.shape) + ": choose one of " + fp::shapeNames();
        return false;
    }
    if (!object.meshFile.empty() && object.shape != "ball") {
        error = "--mesh " + object.meshFile + ": give either --mesh or --shape " + object.shape + ", not both";
        return false;
    }
    if (!std::isfinite(object.rotateDegrees)) {
        error = "--rotate: expected a finite number of degrees";
        return false;
    }
    if (object.rotateDegrees != 0.0f && object.meshFile.empty() && object.shape == "ball") {
        error = "--rotate: turns a model (--mesh or --shape swatch); the ball needs no turning";
        return false;
    }
    return true;
}
