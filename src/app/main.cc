// Zielwerk: sets up the destination display of a model-railway passenger car.
int main() { return 0; }
