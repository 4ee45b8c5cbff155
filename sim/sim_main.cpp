#include <cstdio>

int main()
{
    std::fputs("tessaro-mes-sim: the transceiver simulator is not built yet.\n", stderr);
    return 2;
}
