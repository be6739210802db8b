// empty-program.exe: starts and ends. bench/wine-speed.sh takes its time off every other
// program's, so the figures hold the work and not Wine's start of a process.
int main() { return 0; }
