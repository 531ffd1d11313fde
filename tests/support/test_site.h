#pragma once
// Where the local catalogue site of the test run answers.
#include <string>

#ifndef QH_TEST_SITE_PORT
#error "QH_TEST_SITE_PORT comes from the build"
#endif

#define QH_STRINGIFY2(x) #x
#define QH_STRINGIFY(x) QH_STRINGIFY2(x)

// "http://127.0.0.1:PORT/" followed by path (without a leading "/").
inline std::string TestSiteAddress(const std::string& path = "") {
    return std::string("http://127.0.0.1:") + QH_STRINGIFY(QH_TEST_SITE_PORT) + "/" + path;
}
inline int TestSitePort() { return QH_TEST_SITE_PORT; }

// An address where nothing listens: port 1 is never served here, whereas a
// port next to the test site's may be another run's site.
inline std::string DeadSiteAddress(const std::string& path = "") { return "http://127.0.0.1:1/" + path; }
