// The floor of a process start: a C++ program that does nothing, linked as
// every C++ program is (the C++ and C runtimes) and to nothing of ours.
int main() { return 0; }
