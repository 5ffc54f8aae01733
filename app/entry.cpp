// The benchcom executable: the main sequence, nothing else.
#include "app/main_sequence.h"

int main(int argc, char** argv, char** envp) { return bc::main(argc, argv, envp); }
