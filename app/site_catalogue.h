#pragma once
// The fixed description of the catalogue site: where it is and how its pages
// are taken apart.
#include <windows.h>

#include "text/gbk_text.h"

// windows.h names a routine of its own SearchPath (a macro for SearchPathA):
// undone here so that the site's search path keeps its name in every file.
#undef SearchPath

struct SiteCatalogue {
    // Absolute address of the site's root page: http, the host, a final "/".
    Text SiteRoot;

    // Root page: group 1 is a category page's address without its ".html"
    // ending, group 2 the category's name.
    static constexpr const char* CategoryPattern = "<li><a href=\"(.*?).html\">(.*?)</a></li>";

    // Category and search result pages, one novel entry per match. Group 1
    // is the novel page's address, 2 the cover picture's, 3 the title (the
    // cover's alt text), 8 the author. The leading space, the two spaces
    // after "<img" and the unescaped dots are part of the site's markup.
    static constexpr const char* NovelListPattern =
        " <li><a target=\"_blank\" href=\"(.*?)\" class=\"l mr10\"><img  onerror=\"this.src='/modules/article/images/nocover.jpg'\" src=\"(.*?)\" alt=\"(.*?)\" width=\"120\" height=\"150\"></a><img src=\"/kukuku/images/only2.png\" class=\"topss png_bg\"><span class=\"l\"><a target=\"_blank\" title=\"(.*?)\" href=\"(.*?)\" class=\"clearfix stitle\">(.*?)</a>作者：<a href=\"(.*?)\">(.*?)</a><em class=\"c999 clearfix\">";

    // Below SiteRoot: the search page, followed by the encoded key.
    static constexpr const char* SearchPath = "modules/article/search.php?searchkey=";

    // Novel page: group 1 is the href of the cover link, the address of the
    // novel's table of contents (groups 2 to 4 are not used). The two spaces
    // before "class" are the site's.
    static constexpr const char* NovelPagePattern =
        "<a href=\"(.*?)\"  class=\"l mr11\"><img onerror=\"this.src='/modules/article/images/nocover.jpg'\" src=\"(.*?)\" width=\"160\" height=\"200\" border=\"0\" alt=\"(.*?)\" title=\"(.*?)\" /></a>";

    // Table of contents: group 1 is a chapter page's address, group 3 the
    // link text shown as the chapter's title (group 2, the title attribute,
    // is not used).
    static constexpr const char* TocPattern = "<li><a href=\"(.*?)\" title=\"(.*?)\">(.*?)</a></li>";

    // Chapter page: group 1 is one paragraph. Each break is followed by a
    // carriage return stored in the pattern itself; "\s*" takes the line
    // feed, so pages broken by a lone line feed match nothing.
    static constexpr const char* ChapterPattern = "&nbsp;&nbsp;&nbsp;&nbsp;(.*?)<br />\r\\s*<br />\r";
};
