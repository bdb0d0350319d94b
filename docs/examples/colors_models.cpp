// TColor is 0x00BBGGRR; the colour models and the web's #RRGGBB.
#include <cstdio>
#include <iostream>

#include "zel/zel.h"

int main() {
  double h = 0, s = 0, l = 0;
  zel::RGBtoHSL(255, 0, 0, h, s, l);
  std::printf("red as HSL: %g %g %g\n", h, s, l);
  std::cout << "0x0000FF on the web: " << zel::ToUtf8(zel::ColorToWebHex(0x0000FF)) << '\n';
  zel::TColor c = 0;
  if (zel::TryWebHexToColor(u"#87ceeb", c)) std::printf("#87ceeb as TColor: 0x%06X\n", c);
  std::printf("halfway from black to white: 0x%06X\n", zel::InterpolateColor(0x000000, 0xFFFFFF, 0.5));
  std::cout << "name of 0x00A5FF: " << zel::ToUtf8(zel::ObtainColorName(0x00A5FF)) << '\n';
  return 0;
}
