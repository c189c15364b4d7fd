#include <cstdio>

int main()
{
    std::printf("tintpour: convert SGI image files to Gravlin alpha blended sprites\n");
    std::printf("Gravlin graphics tools, (c) the Gravlin tools authors\n");
    return 0;
}
