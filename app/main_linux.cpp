// Entry point on Linux: builds the platform and runs the start-up procedure.
int main() { return 0; }
