#pragma once
// The fixed description of the catalogue site: where it is and how its pages
// are taken apart.
#include "text/gbk_text.h"

struct SiteCatalogue {
    // Absolute address of the site's root page: http, the host, a final "/".
    Text SiteRoot;

    // Root page: group 1 is a category page's address without its ".html"
    // ending, group 2 the category's name.
    static constexpr const char* CategoryPattern = "<li><a href=\"(.*?).html\">(.*?)</a></li>";
};
