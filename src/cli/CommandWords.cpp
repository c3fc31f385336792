#include "cli/CommandWords.h"

#include <algorithm>
#include <cstdlib>

#include "cli/InputCommands.h"

namespace vantelsor::ctl {
namespace {

// "a", "a or b", "a, b or c".
std::string OneOf(const std::vector<std::string>& items) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) text += i + 1 == items.size() ? " or " : ", ";
        text += items[i];
    }
    return text;
}

std::string FormName(const CtlCommand& c, const std::string& action) {
    return action.empty() ? std::string(c.name) : std::string(c.name) + " " + action;
}

bool IsOption(const std::string& word) {
    return word.rfind("--", 0) == 0;
}

// Splits the words into --options (with their values) and positional values.
std::string SplitWords(const std::vector<std::string>& words, Invocation* out,
                       std::vector<std::string>* positional) {
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& w = words[i];
        if (!IsOption(w)) {
            positional->push_back(w);
        } else if (w == "--yes") {
            out->yes = true;
            out->options.emplace_back("yes", "");
        } else if (i + 1 < words.size()) {
            out->options.emplace_back(w.substr(2), words[++i]);
        } else {
            return w + " needs a value";
        }
    }
    return {};
}

std::string CheckOptions(const CtlCommand& c, const CommandForm& form, const Invocation& in) {
    for (const auto& [name, value] : in.options) {
        const bool known =
            (name == "yes" && form.takesYes) ||
            std::find(form.options.begin(), form.options.end(), name) != form.options.end();
        if (!known) return "unknown option --" + name + " for " + c.name;
    }
    if (form.needsAnOption && in.options.empty()) {
        std::vector<std::string> names;
        for (const std::string& o : form.options) names.push_back("--" + o);
        return FormName(c, in.action) + " needs " + OneOf(names);
    }
    return {};
}

std::string Actions(const CtlCommand& c) {
    std::vector<std::string> actions;
    for (const CommandForm& f : c.forms) actions.emplace_back(f.action);
    return OneOf(actions);
}

bool ParseFrames(const std::string& text, int* frames) {
    char* end = nullptr;
    const long n = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || n < 1 || n > 10000) return false;
    *frames = static_cast<int>(n);
    return true;
}

}  // namespace

std::string ParsePlain(const CtlCommand&, const std::vector<std::string>& words, Invocation*) {
    return words.empty() ? std::string() : "unexpected argument " + words.front();
}

std::string ParseForms(const CtlCommand& c, const std::vector<std::string>& words,
                       Invocation* out) {
    std::vector<std::string> positional;
    if (std::string e = SplitWords(words, out, &positional); !e.empty()) return e;
    if (!positional.empty() && !positional.front().empty() && FindForm(c, positional.front())) {
        out->action = positional.front();
        positional.erase(positional.begin());
    }
    const CommandForm* form = FindForm(c, out->action);
    if (!form) return "unknown form of " + FormName(c, out->action);
    if (positional.size() != form->values) {
        return FormName(c, out->action) + " takes " + std::to_string(form->values) + " value(s)";
    }
    out->values = positional;
    return CheckOptions(c, *form, *out);
}

std::string ParseLog(const CtlCommand& c, const std::vector<std::string>& words, Invocation* out) {
    if (std::string e = ParseForms(c, words, out); !e.empty()) return e;
    if (!out->action.empty()) return {};
    out->format = out->Option("format").value_or("text");
    if (out->format != "text" && out->format != "csv" && out->format != "json") {
        return "--format takes text, csv or json";
    }
    return {};
}

std::string ParseChoice(const CtlCommand& c, const std::vector<std::string>& words,
                        Invocation* out) {
    const std::string name = c.name;
    if (words.size() != 1) return name + (words.empty() ? " needs " : " takes only ") + Actions(c);
    if (words[0].empty() || !FindForm(c, words[0])) {
        return name + " takes " + Actions(c) + ", not " + words[0];
    }
    out->action = words[0];
    return {};
}

std::string ParseType(const CtlCommand& c, const std::vector<std::string>& words, Invocation* out) {
    if (words.size() != 1) {
        return std::string(c.name) + (words.empty() ? " needs " : " takes only ") +
               "one TEXT argument";
    }
    out->values = words;
    return UntypableCharacter(words[0]);
}

std::string ParseScreenshot(const CtlCommand&, const std::vector<std::string>& words,
                            Invocation* out) {
    for (size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "--frames") {
            if (!ParseFrames(i + 1 < words.size() ? words[++i] : "", &out->frames)) {
                return "--frames takes a number from 1 to 10000";
            }
        } else if (words[i].size() > 1 && words[i][0] == '-') {
            return "unknown option " + words[i];
        } else if (out->values.empty()) {
            out->values.push_back(words[i]);
        } else if (out->values[0].empty()) {
            out->values[0] = words[i];  // an empty name names no file
        } else {
            return "unexpected argument " + words[i];
        }
    }
    if (out->values.empty() || out->values[0].empty()) {
        return "screenshot needs the name of the PNG file to write";
    }
    return {};
}

}  // namespace vantelsor::ctl
