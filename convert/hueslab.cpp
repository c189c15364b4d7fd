#include <cstdio>

int main()
{
    std::printf("hueslab: convert SGI image files to Gravlin hi-color sprites\n");
    std::printf("Gravlin graphics tools, (c) the Gravlin tools authors\n");
    return 0;
}
