// Skeleton store tool.
#include <cstdio>
int main() { std::puts("tesselstore"); return 0; }
