// flakecoat attributes: the node type's attributes as a user inspects them.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include <mayaHost/registry.h>

#include "commands.h"
#include "mayaSession.h"
#include "modulePaths.h"
#include "pluginOption.h"

namespace {

using mayaHost::AttributeInfo;
using mayaHost::AttributeKind;

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g", v);
    return text;
}

std::string numbers(const double* v, unsigned count) {
    std::string text;
    for (unsigned i = 0; i < count; ++i) text += (i ? " " : "") + number(v[i]);
    return text;
}

std::string kindText(const AttributeInfo& a) {
    std::string kind;
    switch (a.kind) {
        case AttributeKind::numeric:
            switch (a.numericType) {
                case MFnNumericData::kBoolean: kind = "boolean"; break;
                case MFnNumericData::kShort: kind = "short"; break;
                case MFnNumericData::kInt: kind = "int"; break;
                case MFnNumericData::kFloat: kind = "float"; break;
                case MFnNumericData::kDouble: kind = "double"; break;
                default: kind = "numeric"; break;
            }
            break;
        case AttributeKind::numericCompound: kind = "float" + std::to_string(a.children.size()); break;
        case AttributeKind::address: kind = "address"; break;
        case AttributeKind::matrix:
            kind = a.matrixType == MFnMatrixAttribute::kFloat ? "floatMatrix" : "matrix";
            break;
        case AttributeKind::lightData: kind = "lightData"; break;
    }
    return a.flags.array ? kind + "[]" : kind;
}

std::string defaultText(const AttributeInfo& a) {
    switch (a.kind) {
        case AttributeKind::numeric:
            if (a.numericType == MFnNumericData::kBoolean) return a.defaultValue[0] != 0 ? "true" : "false";
            return number(a.defaultValue[0]);
        case AttributeKind::numericCompound: return numbers(a.defaultValue, a.componentCount());
        case AttributeKind::address: return a.defaultAddress ? "address" : "null";
        case AttributeKind::matrix: return "identity";
        case AttributeKind::lightData: {
            if (!a.hasLightDataDefault) return "(children's)";
            const mayaHost::LightDataValue& d = a.lightDataDefault;
            const double direction[3] = {d.direction[0], d.direction[1], d.direction[2]};
            const double intensity[3] = {d.intensity[0], d.intensity[1], d.intensity[2]};
            return "direction " + numbers(direction, 3) + ", intensity " + numbers(intensity, 3) +
                   ", ambient " + (d.ambient ? "on" : "off") + ", diffuse " + (d.diffuse ? "on" : "off") +
                   ", specular " + (d.specular ? "on" : "off") + ", shadow " + number(d.shadowFraction) +
                   ", pre-shadow " + number(d.preShadowIntensity) + ", blind data " +
                   (d.blindData ? "address" : "null");
        }
    }
    return "";
}

std::string limitsText(const AttributeInfo& a) {
    const unsigned n = a.componentCount() ? a.componentCount() : 1;
    std::string text;
    if (a.limits.hasMin) text += "min " + numbers(a.limits.min, n);
    if (a.limits.hasMax) text += std::string(text.empty() ? "" : ", ") + "max " + numbers(a.limits.max, n);
    if (a.limits.hasSoftMin || a.limits.hasSoftMax)
        text += std::string(text.empty() ? "" : ", ") + "soft " +
                (a.limits.hasSoftMin ? number(a.limits.softMin) : "") + ".." +
                (a.limits.hasSoftMax ? number(a.limits.softMax) : "");
    return text.empty() ? "-" : text;
}

std::string flagsText(const AttributeInfo& a) {
    const mayaHost::AttributeFlags& f = a.flags;
    std::string text = "RWSKHCA";
    const bool on[7] = {f.readable, f.writable, f.storable, f.keyable, f.hidden, f.usedAsColor, f.array};
    for (int i = 0; i < 7; ++i)
        if (!on[i]) text[std::size_t(i)] = '.';
    return text;
}

std::string childrenText(const AttributeInfo& a) {
    std::string text;
    for (const AttributeInfo* child : a.children) text += (text.empty() ? "" : " ") + child->shortName;
    return text.empty() ? "-" : text;
}

using Row = std::vector<std::string>;

void addRows(const AttributeInfo& a, int depth, std::vector<Row>& rows) {
    rows.push_back({std::string(std::size_t(depth) * 2, ' ') + a.longName, a.shortName, kindText(a), flagsText(a),
                    limitsText(a), childrenText(a), defaultText(a)});
    for (const AttributeInfo* child : a.children) addRows(*child, depth + 1, rows);
}

void printTable(const std::vector<Row>& rows) {
    std::vector<std::size_t> widths(rows.front().size(), 0);
    for (const Row& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
    for (const Row& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) line += std::string(widths[c] - row[c].size() + 2, ' ');
        }
        std::cout << line << "\n";
    }
}

int listAttributes() {
    std::string error;
    std::unique_ptr<MayaSession> session = MayaSession::open(pluginPath(kPluginFile), error);
    if (!session) {
        std::cerr << "flakecoat attributes: " << error << "\n";
        return 2;
    }
    const mayaHost::NodeType& type = session->type();
    std::cout << "node type  " << type.name() << ", id " << type.id().id() << ", classification \""
              << type.classification() << "\"\n"
              << "plug-in    " << type.pluginPath() << " (vendor \"" << session->library().vendor()
              << "\", version " << session->library().version() << ")\n"
              << type.attributes().size() << " attributes; flags: R readable, W writable, S storable, "
              << "K keyable, H hidden, C used as colour, A array\n\n";

    std::vector<Row> rows{{"long name", "short", "kind", "flags", "limits", "children", "default"}};
    for (const AttributeInfo* a : type.attributes())
        if (!a->parent || !type.findAttribute(a->parent->longName)) addRows(*a, 0, rows);
    printTable(rows);
    return 0;
}

}  // namespace

void addAttributesCommand(CLI::App& app, int& exitStatus) {
    CLI::App* command = app.add_subcommand("attributes", "List the flakeCoat node's attributes");
    addPluginOption(*command);
    command->callback([&exitStatus] { exitStatus = listAttributes(); });
}
