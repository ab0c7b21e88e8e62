// Placeholder program until the canvas lands.
int main() { return 0; }
