#pragma once
// orx-render's command line: the one table of options (each declared once, with its
// value, help text and effect) and the parser that applies it.
#include <functional>
#include <string>
#include <vector>

#include "app/ViewerDlg.h"

namespace orx::render {

// What the command line asks for.
struct Request {
    std::string model, output;
    int width = 800, height = 600;
    int part = 0;
    int thumbnail = 0;               // side of a thumbnail picture; 0: an ordinary picture
    bool viewGiven = false;          // --size, --angles, --origin or --background given
    std::vector<std::string> given;  // the options given, in order
    bool parts = false;              // list the parts instead of drawing a picture
    orx::ViewOptions view;
};

// One command-line option: its name, the form of its value (empty for a switch),
// its help text and how it changes the request. A refused value returns false with
// `error` saying what is wrong.
struct Option {
    const char* name;
    const char* value;
    const char* help;
    std::function<bool(Request&, const char*, std::string& error)> apply;
};

const std::vector<Option>& Options();

// The usage text, one line per option of the table.
std::string Usage();

// The output file's extension in lower case, with its dot (".jpeg"); empty for none.
std::string PictureExtension(const std::string& path);

enum class Parsed { Run, Help, UsageError };

// Applies the arguments after the program name to `request`. A usage error says in
// `error` what is wrong; `error` is empty when no argument was given at all.
Parsed ParseArguments(const std::vector<std::string>& args, Request& request, std::string& error);

}  // namespace orx::render
