// Writes benchcom-run's manual page from its template, putting the routine
// table where the template has the comment line `.\" routine list` and the
// register sequences' names at `.\" sequence names`, so that the page says
// what --help says.
//   benchcom-routine-list TEMPLATE PAGE
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: benchcom-routine-list TEMPLATE PAGE\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    std::ofstream page(argv[2]);
    bool listed = false;
    for (std::string line; std::getline(in, line);) {
        if (line == ".\\\" routine list") {
            writeRoutines(page);
            listed = true;
        } else if (line == ".\\\" sequence names") {
            page << roff(bc::run::sequenceNames()) << "\n";
        } else {
            page << line << "\n";
        }
    }
    if (!in.eof() || !listed || !page.flush()) {
        std::cerr << "benchcom-routine-list: cannot write " << argv[2] << " from " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
