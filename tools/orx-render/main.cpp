#include <cstdio>
int main() { std::puts("orx-render: not built yet"); return 2; }
