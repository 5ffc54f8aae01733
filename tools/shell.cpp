#include "tools/shell.h"

#include <cstdio>

#include "platform/terminal.h"
#include "tools/completion.h"
#include "tools/help.h"
#include "tools/line_reader.h"
#include "tools/session.h"
#include "tools/words.h"

namespace bc::run {

namespace {

// The end of the shell, as the end that came gives it: Ctrl-C's status, the
// run's own when the time was up, or the status asked for.
int leave(const Session& session, int ended) { return ended == kTimeUp ? session.status() : ended; }

void say(const std::string& message) {
    fflush(stdout);
    fprintf(stderr, "benchcom-run: %s\n", message.c_str());
}

// `help` and `help ROUTINE`.
void help(const std::vector<std::string>& words) {
    if (words.size() == 1) return printShellHelp();
    const Routine* r = findRoutine(words[1].c_str());
    if (r)
        printRoutineHelp(stdout, *r);
    else
        say(unknownRoutine(words[1], shellCommands()));
}

// What one line asks for; kRanToEnd to read the next one, else the status
// to leave with.
int obey(Session& session, const std::vector<std::string>& words) {
    if (words[0] == "quit" || words[0] == "exit") return session.status();
    if (words[0] == "help") {
        help(words);
        return kRanToEnd;
    }
    if (words[0] == "ports") {
        listPorts();
        return kRanToEnd;
    }
    Call call;
    std::string message;
    if (!makeCall(words, call, message, shellCommands())) {
        say(message);
        return kRanToEnd;
    }
    int ended = session.run(call);
    if (ended == kInterrupted) {
        fflush(stdout);
        fprintf(stderr, "\nbenchcom-run: %s ended by Ctrl-C\n", call.routine->name);
        ended = session.recoverFromInterrupt();
    }
    session.reportShortReplies();
    return ended == kRanToEnd ? kRanToEnd : leave(session, ended);
}

}  // namespace

int runShell() {
    Session session(true);
    const int opened = session.openPort();
    if (opened != kRanToEnd) return opened == 1 ? 1 : leave(session, opened);
    const bool terminal = isTerminal(0);
    LineReader reader(terminal);
    std::string line, message;
    std::vector<std::string> words;
    for (;;) {
        if (!reader.read("benchcom> ", line)) {
            if (terminal) fputs("\n", stdout);
            // Ctrl-C or the time limit while waiting for the line.
            const int ended = session.takeNotedEnd();
            return ended == kRanToEnd ? session.status() : leave(session, ended);
        }
        if (!splitWords(line, words, message)) {
            say(message);
            continue;
        }
        if (words.empty()) continue;
        reader.remember(line);
        const int status = obey(session, words);
        if (status != kRanToEnd) return status;
    }
}

}  // namespace bc::run
