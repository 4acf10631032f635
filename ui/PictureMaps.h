#pragma once
// The program's pictures as text pixel maps: one character per pixel, each
// character a colour of the classic 16-colour palette, so every picture can be
// reviewed and edited as plain source. Olive ('.') is the transparent colour.
// Plain C++: the program turns the maps into bitmaps at start, and the build
// turns the icon map into the executable's icon file.

#include <cstdint>
#include <vector>

namespace pictures {

struct Rgb {
  std::uint8_t r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kTransparent{128, 128, 0};  // olive

// The palette: '.' olive (transparent), 'K' black, 'm' maroon, 'g' green,
// 'n' navy, 'p' purple, 't' teal, 'd' grey, 's' silver, 'R' red, 'G' lime,
// 'Y' yellow, 'B' blue, 'F' fuchsia, 'C' aqua, 'W' white.
// False for a character outside the palette.
bool PaletteColour(char code, Rgb& colour);

struct PixelMap {
  int width;
  int height;
  const char* const* rows;  // height rows of width characters each
};

// BitBtn_FileOpen: a white document page with yellow rays around it.
inline constexpr const char* kFileOpenRows[] = {
    "Y......YY......Y",
    ".Y.....YY.....Y.",
    "................",
    "....KKKKKK......",
    "....KWWWWKK.....",
    "....KWWWWKWK....",
    "....KWWWWKKKK...",
    "YY..KWddddWWK.YY",
    "YY..KWWWWWWWK.YY",
    "....KWddddWWK...",
    "....KWWWWWWWK...",
    "....KWddddWWK...",
    "....KWWWWWWWK...",
    "....KKKKKKKKK...",
    ".Y.....YY.....Y.",
    "Y......YY......Y",
};
inline constexpr PixelMap kFileOpen{16, 16, kFileOpenRows};

// BitBtn_Decode1: a red plus-shaped dot, a white brace opening to the right
// toward eight cyan squares. White shapes carry a grey shadow so they stand
// out on a light button face.
inline constexpr const char* kDecode1Rows[] = {
    "................",
    ".......WWdCC.CC.",
    "......Wdd.CC.CC.",
    "......Wd........",
    "......Wd........",
    "......Wd..CC.CC.",
    ".R....Wd..CC.CC.",
    "RRR..Wd.........",
    ".R...Wd.........",
    ".....dWd..CC.CC.",
    "......Wd..CC.CC.",
    "......Wd........",
    "......Wd........",
    "......Wd..CC.CC.",
    "......dWWdCC.CC.",
    ".......dd.......",
};
inline constexpr PixelMap kDecode1{16, 16, kDecode1Rows};

// BitBtn_Decode2: a red plus-shaped dot, a white arrow pointing right (with
// a grey shadow, as above), a cyan plus-shaped dot.
inline constexpr const char* kDecode2Rows[] = {
    "................",
    "................",
    "................",
    "................",
    "........Wd......",
    "........WWd.....",
    ".R..WWWWWWWd..C.",
    "RRR.WWWWWWWWdCCC",
    ".R..WWWWWWWd..C.",
    "....ddddWWd.....",
    "........Wd......",
    "........d.......",
    "................",
    "................",
    "................",
    "................",
};
inline constexpr PixelMap kDecode2{16, 16, kDecode2Rows};

// BitBtn_Quit (18 x 18): an open exit door with a green sign above it.
inline constexpr const char* kQuitRows[] = {
    "...gggggggggg.....",
    "...gWWgWgWWWg.....",
    "...gggggggggg.....",
    "..................",
    "...KKKKKKKKKKm....",
    "...KWWWWWWWWKmm...",
    "...KWWWWWWWWKmmm..",
    "...KWWWWWWWWKmmmm.",
    "...KWWWWWWWWKmmmm.",
    "...KWWWWWWWWKmmmm.",
    "...KWWWWWWWWKmmKm.",
    "...KWWWWWWWWKmmmm.",
    "...KWWWWWWWWKmmmm.",
    "...KWWWWWWWWKmmmm.",
    "...KWWWWWWWWKmmmm.",
    "...KWWWWWWWWKmmm..",
    "...KWWWWWWWWKmm...",
    "...KKKKKKKKKKm....",
};
inline constexpr PixelMap kQuit{18, 18, kQuitRows};

// BitBtn_About: a red question mark in a yellow circle.
inline constexpr const char* kAboutRows[] = {
    ".....YYYYYY.....",
    "...YYYYYYYYYY...",
    "..YYYYRRRRYYYY..",
    ".YYYYRRYYRRYYYY.",
    ".YYYYRRYYRRYYYY.",
    "YYYYYYYYYRRYYYYY",
    "YYYYYYYYRRYYYYYY",
    "YYYYYYYRRYYYYYYY",
    "YYYYYYYRRYYYYYYY",
    "YYYYYYYRRYYYYYYY",
    ".YYYYYYYYYYYYYY.",
    ".YYYYYYRRYYYYYY.",
    "..YYYYYRRYYYYY..",
    "...YYYYYYYYYY...",
    ".....YYYYYY.....",
    "................",
};
inline constexpr PixelMap kAbout{16, 16, kAboutRows};

// The program's icon (32 x 32), also shown in the About window: a blue pot
// with white bubbles rising from it.
inline constexpr const char* kIconRows[] = {
    "........d......ddd..............",
    ".......dWd.....dWd..............",
    "......dWWWd....dWd.ddd..........",
    ".......dWd..ddd...dWWWd.........",
    "........d..dWWWd.dWWWWWd..d.....",
    "...........dWWWd.dWWWWWd.dWd....",
    "...........dWWWd..dWWWd.dWWWd...",
    "............dddddd.ddd...dWd....",
    ".........ddd..dWWWd.......d.....",
    "........dWWWddWWWWWd..dWd.......",
    "........dWWWddWWWWWd.dWWWd......",
    "........dWWWddWWWWWd.dWWWd......",
    "........dWWWd.dWWWd...dWd.......",
    "..KKKKKKKKKKKKKKKKKKKKKKKKKKKK..",
    ".KBBBBBBBBBBBBBBBBBBnnnnnnnnnnK.",
    ".KBBBBBBBBBBBBBBBBBBnnnnnnnnnnK.",
    "..KKKKKKKKKKKKKKKKKKKKKKKKKKKK..",
    ".....KBBBBBBBBBBBBBBBBnnnnK.....",
    "....KBBBBCCBBBBBBBBBBBnnnnnK....",
    "....KBBBCCCCBBBBBBBBBBnnnnnK....",
    "...KBBBBCCCCBBBBBBBBBBnnnnnnK...",
    "...KBBBBCCCCBBBBBBBBBBnnnnnnK...",
    "...KBBBBBCCBBBBBBBBBBBnnnnnnK...",
    "...KBBBBBBBBBBBBBBBBBBnnnnnnK...",
    "....KBBBBBBBBBBBBBBBBBnnnnnK....",
    "....KBBBBBBBBBBBBBBBBBnnnnnK....",
    ".....KBBBBBBBBBBBBBBBBnnnnK.....",
    "......KBBBBBBBBBBBBBBBnnnK......",
    ".......KKBBBBBBBBBBBBBnKK.......",
    ".........KKKBBBBBBBBKKK.........",
    "............KKKKKKKK............",
    "................................",
};
inline constexpr PixelMap kIcon{32, 32, kIconRows};

// How a picture is drawn.
enum class Look {
  kColour,
  // The second picture of the open, quit and About buttons: every colour
  // replaced by the grey of the same brightness.
  kGrey,
  // The look the old toolkit generated for a disabled button without a picture
  // of its own: the picture's shape in the shadow colour over a copy in the
  // highlight colour shifted one pixel right and down.
  kGeneratedDisabled,
};

// The pixels of a map, row by row from the top; transparent pixels are
// kTransparent. Shadow and highlight are used by kGeneratedDisabled only.
std::vector<Rgb> Render(const PixelMap& map, Look look, Rgb shadow = {128, 128, 128},
                        Rgb highlight = {255, 255, 255});

// True when every row has the map's width and uses palette characters only.
bool IsWellFormed(const PixelMap& map);

}  // namespace pictures
