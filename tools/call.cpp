#include "tools/call.h"

#include "tools/help.h"
#include "tools/parse_args.h"
#include "tools/suggest.h"

namespace bc::run {

namespace {

std::vector<const char*> pointers(const std::vector<std::string>& words) {
    std::vector<const char*> p;
    for (const std::string& w : words) p.push_back(w.c_str());
    return p;
}

}  // namespace

std::string unknownRoutine(const std::string& name, const std::vector<std::string>& extraNames) {
    std::vector<std::string> names = routineNames();
    names.insert(names.end(), extraNames.begin(), extraNames.end());
    return "unknown routine '" + name + "'" + didYouMean(name, names);
}

bool makeCall(const std::vector<std::string>& words, Call& call, std::string& message,
              const std::vector<std::string>& extraNames) {
    call = Call{};
    if (words.empty()) {
        message = "no routine named";
        return false;
    }
    call.routine = findRoutine(words[0].c_str());
    if (!call.routine) {
        message = unknownRoutine(words[0], extraNames);
        return false;
    }
    call.words.assign(words.begin() + 1, words.end());
    const std::vector<const char*> p = pointers(call.words);
    Args checked;
    return parseArgs(*call.routine, p, checked, message);
}

Args argsOf(const Call& call) {
    const std::vector<const char*> p = pointers(call.words);
    Args args;
    std::string ignored;
    parseArgs(*call.routine, p, args, ignored);
    return args;
}

}  // namespace bc::run
