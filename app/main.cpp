// Program entry. Replaced by the real start-up sequence.
int main() { return 0; }
