#include "cli/cliDocs.h"

#include "cli/commandLine.h"
#include "cli/helpText.h"

#include <string_view>

namespace vellora::cli {

namespace {

// Text safe inside a roff line: backslashes and hyphens escaped, "…" spelled out.
std::string roff(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i).starts_with("…")) {
            out += "...";
            i += std::string_view("…").size() - 1;
        } else if (text[i] == '\\') {
            out += "\\e";
        } else if (text[i] == '-') {
            out += "\\-";
        } else {
            out += text[i];
        }
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

// One tagged paragraph: the tag in bold, an argument after a space in italics.
std::string tagged(std::string_view tag, std::string_view text) {
    const std::size_t space = tag.find(' ');
    std::string line = ".TP\n\\fB" + roff(tag.substr(0, space)) + "\\fR";
    if (space != std::string_view::npos) line += " \\fI" + roff(tag.substr(space + 1)) + "\\fR";
    return line + "\n" + roff(text) + "\n";
}

std::string manFields() {
    std::string text = ".SH FIELDS\nEvery field of the parameter block, set with "
                       "\\fB\\-\\-set\\fR \\fINAME\\fR=\\fIVALUE\\fR "
                       "(several values separated by commas), by the step that reads it.\n";
    for (const FieldGroup& group : fieldGroups()) {
        text += ".SS " + roff(groupTitle(group)) + "\n";
        for (const ParameterField* field : group.fields) {
            std::string help(field->help);
            const std::string choices = choicesText(*field);
            text += tagged(std::string(field->name) + " " + describeFieldValues(*field), help);
            if (!choices.empty()) text += ".br\n" + roff(choices) + "\n";
        }
    }
    return text;
}

std::string words(const auto& list) {
    std::string text;
    for (const auto& word : list)
        text += (text.empty() ? "" : " ") + std::string(word);
    return text;
}

// "rgb|ciede2000" -> rgb, ciede2000; an argument without a bar names no values.
std::vector<std::string> alternatives(std::string_view argument) {
    std::vector<std::string> values;
    if (argument.find('|') == std::string_view::npos) return values;
    for (std::size_t start = 0;;) {
        const std::size_t bar = argument.find('|', start);
        values.emplace_back(argument.substr(start, bar - start));
        if (bar == std::string_view::npos) return values;
        start = bar + 1;
    }
}

// The case arm of an option taking a value: files, named values or nothing to offer.
std::string valueArm(const std::string& option, std::string_view argument) {
    std::vector<std::string> values = shorthandValueWords(option);
    for (std::string& value : alternatives(argument))
        values.push_back(std::move(value));
    std::string reply = "return";
    if (argument == "FILE" || argument == "OUTPUT")
        reply = "COMPREPLY=($(compgen -f -- \"$cur\")); return";
    else if (argument == "NAME=VALUE")
        reply = "COMPREPLY=($(compgen -W \"$fields\" -- \"$cur\")); compopt -o nospace "
                "2>/dev/null; return";
    else if (!values.empty())
        reply = "COMPREPLY=($(compgen -W \"" + words(values) + "\" -- \"$cur\")); return";
    return "    " + option + ") " + reply + " ;;\n";
}

// bash splits NAME=VALUE at the "=" into three words, so --set may be followed by four.
constexpr std::string_view kCompletionScript =
    R"(# bash completion for vellora-cli: steps, options, fields and their values
_vellora_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
  local fields="@FIELDS@"
  [[ $prev == = ]] && return # a field's value: any number
  case $prev in
@ARMS@  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "@OPTIONS@" -- "$cur")); return
  fi
  # The first word that is neither an option nor its value is the input picture.
  local i words=0
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i]} in
      --set) ((i++)); [[ ${COMP_WORDS[i+1]} == = ]] && ((i += 2)) ;;
      @TAKES_VALUE@) ((i++)) ;;
      -*) ;;
      *) ((words++)) ;;
    esac
  done
  if ((words == 0)); then COMPREPLY=($(compgen -f -- "$cur")); return; fi
  COMPREPLY=($(compgen -W "@STEPS@" -- "$cur"))
}
complete -F _vellora_cli vellora-cli
)";

void replaceMark(std::string& text, std::string_view mark, const std::string& value) {
    text.replace(text.find(mark), mark.size(), value);
}

} // namespace

std::string manPage() {
    std::string text = ".TH VELLORA\\-CLI 1 \"\" \"" +
                       roff(versionText().substr(0, versionText().size() - 1)) +
                       "\" \"User Commands\"\n";
    text += ".SH NAME\nvellora\\-cli \\- tile mosaic designs from pictures, without a window\n";
    text += ".SH SYNOPSIS\n\\fBvellora\\-cli\\fR [\\fIOPTION\\fR]... \\fIINPUT\\fR "
            "[\\fISTEP\\fR]...\n";
    text += ".SH DESCRIPTION\nOpens \\fIINPUT\\fR, runs every \\fISTEP\\fR on it in order and "
            "writes the outputs only when every step succeeded. The input file is never "
            "changed. Options may stand anywhere; \\fB\\-\\-\\fR ends them.\n";
    text += ".SH STEPS\n";
    for (const CommandSpec* step : cliSteps())
        text += tagged(step->step, step->help);
    text += ".SH OPTIONS\n";
    for (const auto& [left, help] : optionRows())
        text += tagged(left, help);
    text += manFields();
    text += ".SH EXIT STATUS\n0 success, 1 an operation failed (no output was written), 2 usage "
            "error.\n";
    return text;
}

std::string bashCompletion() {
    std::vector<std::string> fieldWords;
    for (const ParameterField& field : parameterFields())
        fieldWords.push_back(std::string(field.name) + "=");
    std::vector<std::string_view> steps;
    for (const CommandSpec* step : cliSteps())
        steps.push_back(step->step);
    std::string takesValue;
    std::string arms;
    for (const auto& [left, help] : optionRows()) {
        const std::size_t space = left.find(' ');
        if (space == std::string::npos) continue;
        const std::string option = left.substr(0, space);
        takesValue += (takesValue.empty() ? "" : "|") + option;
        arms += valueArm(option, std::string_view(left).substr(space + 1));
    }
    std::string script(kCompletionScript);
    replaceMark(script, "@FIELDS@", words(fieldWords));
    replaceMark(script, "@ARMS@", arms);
    replaceMark(script, "@OPTIONS@", words(optionNames()));
    replaceMark(script, "@TAKES_VALUE@", takesValue);
    replaceMark(script, "@STEPS@", words(steps));
    return script;
}

} // namespace vellora::cli
