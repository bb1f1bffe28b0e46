// melotrix: the voice editor's window program.
#include "app/Startup.h"

int main(int argc, char** argv) { return RunMelotrix(argc, argv); }
