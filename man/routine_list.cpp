// Writes benchcom-run's manual page from its template, putting the routine
// table where the template has the comment line `.\" routine list` and the
// register sequences' names at `.\" sequence names`, so that the page says
// what --help says; and likewise its bash completion, from a template with
// the lines `# routine names`, `# sequence names` and `# named arguments`.
//   benchcom-routine-list TEMPLATE PAGE
//   benchcom-routine-list --bash TEMPLATE SCRIPT
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "tools/routine_table.h"

namespace {

// Text as roff reads it: a backslash is an escape, and a line may not begin
// with a control character.
std::string roff(const std::string& text) {
    std::string out = text.empty() || (text[0] != '.' && text[0] != '\'') ? "" : "\\&";
    for (char c : text) out += c == '\\' ? std::string("\\e") : std::string(1, c);
    return out;
}

void writeRoutines(std::ostream& page) {
    for (auto table : bc::run::routineTables())
        for (const bc::run::Routine& r : table) {
            page << ".TP\n";
            if (*r.argNames)
                page << ".BI \"" << r.name << " \" \"" << roff(r.argNames) << "\"\n";
            else
                page << ".B " << r.name << "\n";
            page << roff(r.description) << (r.opensPort ? "" : " Needs no port.") << "\n";
        }
}

// The names, as one word list for bash's compgen.
void writeBashNames(std::ostream& script) {
    script << "    local routines='";
    const char* gap = "";
    for (auto table : bc::run::routineTables())
        for (const bc::run::Routine& r : table) script << gap << r.name, gap = " ";
    script << "'\n";
}

// For each argument that has names, a case "ROUTINE:INDEX)" offering them.
void writeBashArguments(std::ostream& script) {
    for (auto table : bc::run::routineTables())
        for (const bc::run::Routine& r : table)
            for (int i = 0; r.kinds[i]; ++i) {
                const char* words = r.kinds[i] == 's' ? "$sequences" : r.kinds[i] == 'c' ? "1 2" : nullptr;
                if (words)
                    script << "    " << r.name << ":" << i << ") COMPREPLY=($(compgen -W \"" << words
                           << "\" -- \"$cur\")) ;;\n";
            }
}

// Copies the template, writing what `marker` gives in place of its lines.
template <class Marker>
int fill(const char* from, const char* to, Marker marker) {
    std::ifstream in(from);
    std::ofstream out(to);
    bool listed = false;
    for (std::string line; std::getline(in, line);)
        if (marker(line, out))
            listed = true;
        else
            out << line << "\n";
    if (!in.eof() || !listed || !out.flush()) {
        std::cerr << "benchcom-routine-list: cannot write " << to << " from " << from << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool bash = argc == 4 && std::string(argv[1]) == "--bash";
    if (argc != 3 && !bash) {
        std::cerr << "usage: benchcom-routine-list TEMPLATE PAGE | --bash TEMPLATE SCRIPT\n";
        return 2;
    }
    if (bash)
        return fill(argv[2], argv[3], [](const std::string& line, std::ostream& out) {
            if (line == "# routine names")
                writeBashNames(out);
            else if (line == "# sequence names")
                out << "    local sequences='" << bc::run::sequenceNames() << "'\n";
            else if (line == "# named arguments")
                writeBashArguments(out);
            else
                return false;
            return true;
        });
    return fill(argv[1], argv[2], [](const std::string& line, std::ostream& out) {
        if (line == ".\\\" routine list")
            writeRoutines(out);
        else if (line == ".\\\" sequence names")
            out << roff(bc::run::sequenceNames()) << "\n";
        else
            return false;
        return true;
    });
}
