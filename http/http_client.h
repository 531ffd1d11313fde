#pragma once
// HttpClient: one operation, FetchPage, one HTTP exchange over WinHTTP,
// synchronous on the calling thread. Every option is a positional parameter;
// every by-product comes back through an output pointer (null = omitted).
#include "text/gbk_text.h"

// Fetches url and returns the page as Text ("" on every failure).
// cookies alone tells omitted (null) from given-empty (pointer to "").
Text FetchPage(const Text& url,
               int method = 0,
               const Text& body = Text(),
               Text* cookies = nullptr,
               Text* receivedCookies = nullptr,
               const Text& extraHeaders = Text(),
               Text* responseHeaders = nullptr,
               bool noRedirect = false,
               const Text& userName = Text(),
               const Text& password = Text(),
               const Text& proxy = Text(),
               const Text& proxyUserName = Text(),
               const Text& proxyPassword = Text(),
               int timeoutSeconds = 0,
               Text* location = nullptr,
               Text* statusText = nullptr,
               ByteData* responseBytes = nullptr);
