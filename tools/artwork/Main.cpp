// zel-artwork: renders every picture the editor draws into a folder of PNGs,
// and optionally the contact sheet. Same sources, same bytes.
//
// Usage: zel-artwork --fonts DIR --out DIR [--sheet FILE] [--threads N]

#include "Catalog.h"
#include "ContactSheet.h"
#include "MakerMarks.h"
#include "PngFile.h"
#include "Renderer.h"
#include "TextRaster.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>

namespace
{
using namespace zel::artwork;

struct Options
{
    std::string fonts;
    std::string out;
    std::string sheet;
    int threads = static_cast<int> (std::max (1u, std::thread::hardware_concurrency()));
};

bool parse (int argc, char** argv, Options& o)
{
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string key = argv[i];
        const std::string value = argv[i + 1];
        if (key == "--fonts")
            o.fonts = value;
        else if (key == "--out")
            o.out = value;
        else if (key == "--sheet")
            o.sheet = value;
        else if (key == "--threads")
            o.threads = std::atoi (value.c_str());
        else
            return false;
    }
    return ! o.fonts.empty() && ! o.out.empty();
}

bool save (const Bitmap& image, const std::string& path)
{
    if (PngFile::write (image, path))
        return true;
    std::fprintf (stderr, "zel-artwork: cannot write %s\n", path.c_str());
    return false;
}
} // namespace

int main (int argc, char** argv)
{
    Options options;
    if (! parse (argc, argv, options))
    {
        std::fprintf (stderr, "usage: zel-artwork --fonts DIR --out DIR [--sheet FILE] [--threads N]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const TextRaster markFont (options.fonts + "/DuVaZovi.ttf");
    const TextRaster labelFont (options.fonts + "/Inter.ttf");
    if (! markFont.isValid() || ! labelFont.isValid())
    {
        std::fprintf (stderr, "zel-artwork: fonts missing in %s\n", options.fonts.c_str());
        return 1;
    }

    ContactSheet::Images images;
    const Renderer renderer (options.threads);
    for (const auto& art : Catalog::artworks())
        images[art->name()] = renderer.render (*art);
    for (auto& [name, image] : MakerMarks (markFont).render())
        images[name] = std::move (image);

    auto ok = true;
    for (const auto& [name, image] : images)
        ok = save (image, options.out + "/" + name + ".png") && ok;
    if (! options.sheet.empty())
        ok = save (ContactSheet (images, labelFont).compose(), options.sheet) && ok;

    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf ("zel-artwork: %zu images in %.1f s\n", images.size(), took.count());
    return ok ? 0 : 1;
}
