#include "bench/SiteGenerator.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace {

std::string PagePath(int page) {
    return page == 0 ? std::string(kGeneratedStartPage) : "pages/p" + std::to_string(page) + ".htm";
}

// The address of page `to` as written in page `from`: pages other than the start page
// lie one folder down.
std::string PageLink(int from, int to) {
    if (from == 0)
        return PagePath(to);
    return to == 0 ? std::string("../") + kGeneratedStartPage : "p" + std::to_string(to) + ".htm";
}

std::string ImageName(int page, int slot, const SitePicture& picture) {
    return "p" + std::to_string(page) + "-" + std::to_string(slot) + picture.extension;
}

void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        throw std::runtime_error("cannot create " + path.string() + ": " + std::strerror(errno));
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written)
        throw std::runtime_error("cannot write " + path.string());
}

std::vector<int> PagesPerDepth(int pages) {
    std::vector<int> depthOf(static_cast<size_t>(pages), -1);
    std::vector<int> queue{0};
    depthOf[0] = 0;
    for (size_t next = 0; next < queue.size(); ++next) {
        const int page = queue[next];
        for (const int linked : GeneratedLinksOf(page, pages)) {
            if (depthOf[static_cast<size_t>(linked)] < 0) {
                depthOf[static_cast<size_t>(linked)] = depthOf[static_cast<size_t>(page)] + 1;
                queue.push_back(linked);
            }
        }
    }
    const int deepest = *std::max_element(depthOf.begin(), depthOf.end());
    std::vector<int> reached(static_cast<size_t>(std::max(deepest, 3) + 1), 0);
    for (const int depth : depthOf) {
        for (size_t d = static_cast<size_t>(depth); d < reached.size(); ++d)
            ++reached[d];
    }
    return reached;
}

}  // namespace

std::vector<int> GeneratedLinksOf(int page, int pages) {
    std::vector<int> links;
    const auto add = [&](long long target) {
        if (target >= 0 && target < pages && target != page &&
            std::find(links.begin(), links.end(), target) == links.end()) {
            links.push_back(static_cast<int>(target));
        }
    };
    for (int child = 1; child <= kGeneratedChildrenPerPage; ++child)
        add(static_cast<long long>(kGeneratedChildrenPerPage) * page + child);
    if (page > 0)
        add((page - 1) / kGeneratedChildrenPerPage);
    add(static_cast<long long>(page) + 1);
    add(0);
    return links;
}

GeneratedSite GenerateSite(const std::string& folder, int pages, int imagesPerPage,
                           const std::vector<SitePicture>& pictures) {
    if (pages < 1)
        throw std::invalid_argument("a site has at least one page");
    if (imagesPerPage < 0)
        throw std::invalid_argument("the number of images per page is negative");
    if (imagesPerPage > 0 && pictures.empty())
        throw std::invalid_argument("images are asked for but no picture is given");

    const std::filesystem::path root(folder);
    std::error_code error;
    for (const char* sub : {"pages", "images"}) {
        std::filesystem::create_directories(root / sub, error);
        if (error)
            throw std::runtime_error("cannot create " + (root / sub).string() + ": " +
                                     error.message());
    }

    GeneratedSite site;
    site.pages = pages;
    std::string html;
    for (int page = 0; page < pages; ++page) {
        const std::string up = page == 0 ? "" : "../";
        html.clear();
        html += "<!DOCTYPE html>\n<html>\n<head><title>Page " + std::to_string(page) +
                "</title></head>\n<body>\n<h1>Page " + std::to_string(page) + "</h1>\n<p>";
        for (int slot = 0; slot < imagesPerPage; ++slot) {
            const size_t index =
                (static_cast<size_t>(page) * imagesPerPage + slot) % pictures.size();
            const SitePicture& picture = pictures[index];
            const std::string name = ImageName(page, slot, picture);
            WriteFile(root / "images" / name, picture.bytes);
            ++site.images;
            html += "<img src=\"" + up + "images/" + name + "\"";
            if ((page + slot) % 2 == 0) {
                html += " width=\"" + std::to_string(picture.width) + "\" height=\"" +
                        std::to_string(picture.height) + "\"";
            }
            html += " alt=\"picture " + std::to_string(slot) + "\">\n";
        }
        html += "</p>\n<ul>\n";
        for (const int linked : GeneratedLinksOf(page, pages)) {
            html += "<li><a href=\"" + PageLink(page, linked) + "\">Page " +
                    std::to_string(linked) + "</a></li>\n";
        }
        html += "</ul>\n</body>\n</html>\n";
        WriteFile(root / PagePath(page), html);
    }
    site.pagesPerDepth = PagesPerDepth(pages);
    return site;
}
