// vantor-cli value parse|format

#include <cstdio>
#include <memory>
#include <string>

#include "Commands.h"
#include "Values.h"

namespace vantor::cli {

void RegisterValueCommands(CLI::App& app, Context& ctx) {
    CLI::App* value = app.add_subcommand("value", "Engineering values: parse and format");
    value->require_subcommand(1);

    auto parseText = std::make_shared<std::string>();
    CLI::App* parse = value->add_subcommand("parse", "Print the value of TEXT (e.g. 100nF) as a double");
    parse->add_option("TEXT", *parseText, "Engineering text")->required();
    parse->callback([parseText, &ctx] {
        std::printf("%.17g\n", ParseValue(*parseText));
        ctx.exitCode = 0;
    });

    struct FormatArgs {
        std::string value, unit;
        bool precise = false;
    };
    auto fa = std::make_shared<FormatArgs>();
    CLI::App* format = value->add_subcommand("format", "Format VALUE with an SI prefix and UNIT");
    format->add_option("VALUE", fa->value, "Value, in engineering notation")->required();
    format->add_option("UNIT", fa->unit, "Unit text (Hz, F, H, m, Ohm, A, dB, s)")->required();
    format->add_flag("--precise", fa->precise, "Four-digit form");
    format->callback([fa, &ctx] {
        std::printf("%s\n", FormatValue(ParseValue(fa->value), fa->unit, fa->precise ? 1 : 0).c_str());
        ctx.exitCode = 0;
    });
}

}  // namespace vantor::cli
