#include <iostream>
int main() { std::cout << "zel\n"; }
