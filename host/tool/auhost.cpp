// auhost: the offline Audio Unit host (auhost --help lists the commands).
#include "HostCommands.h"

int main(int argc, char** argv) { return host::RunAuhost(argc, argv); }
