// Build tool, run on the build machine: draws the window program's pictures
// from their pixel maps (ui/PictureMaps) as SVG files for the page, so the
// page shows the very same pixels: the icon, and each button's picture with
// its disabled look.
//   export-pictures OUTPUT_DIR

#include <cstdio>
#include <fstream>
#include <string>

#include "ui/PictureMaps.h"

namespace {

std::string Hex(pictures::Rgb c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
  return text;
}

// One rectangle per run of equal pixels in a row; transparent pixels stay empty.
bool WriteSvg(const std::string& path, const pictures::PixelMap& map, pictures::Look look) {
  const auto pixels = pictures::Render(map, look);
  std::ofstream out(path, std::ios::binary);
  out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << map.width << "\" height=\"" << map.height
      << "\" viewBox=\"0 0 " << map.width << ' ' << map.height << "\" shape-rendering=\"crispEdges\">";
  for (int y = 0; y < map.height; ++y) {
    for (int x = 0; x < map.width;) {
      const pictures::Rgb c = pixels[static_cast<std::size_t>(y) * map.width + x];
      int end = x + 1;
      while (end < map.width && pixels[static_cast<std::size_t>(y) * map.width + end] == c) ++end;
      if (!(c == pictures::kTransparent))
        out << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << end - x << "\" height=\"1\" fill=\""
            << Hex(c) << "\"/>";
      x = end;
    }
  }
  out << "</svg>\n";
  out.close();
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: export-pictures OUTPUT_DIR\n");
    return 2;
  }
  using pictures::Look;
  struct Picture {
    const char* name;
    const pictures::PixelMap* map;
    Look disabled;  // the window's disabled look for this button
  };
  const Picture all[] = {
      {"fileopen", &pictures::kFileOpen, Look::kGrey},
      {"decode1", &pictures::kDecode1, Look::kGeneratedDisabled},
      {"decode2", &pictures::kDecode2, Look::kGeneratedDisabled},
      {"about", &pictures::kAbout, Look::kGrey},
  };
  const std::string dir = argv[1];
  if (!WriteSvg(dir + "/icon.svg", pictures::kIcon, Look::kColour)) return 1;
  for (const Picture& p : all) {
    if (!pictures::IsWellFormed(*p.map)) return 1;
    if (!WriteSvg(dir + "/" + p.name + ".svg", *p.map, Look::kColour) ||
        !WriteSvg(dir + "/" + p.name + "-disabled.svg", *p.map, p.disabled))
      return 1;
  }
  return 0;
}
