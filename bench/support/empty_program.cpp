// The floor of a process start: a C++ program that does nothing, built as
// this project builds its programs and linked to nothing of ours (so the
// toolchain gives it the C runtime alone).
int main() { return 0; }
