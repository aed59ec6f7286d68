#include "app/program_start.h"

int main(int argc, char* argv[]) { return taborvane::app::RunProgram(argc, argv); }
