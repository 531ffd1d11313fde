#pragma once
// The search key as the site's search page takes it: every byte of the GBK
// text escaped, whatever it is.
#include "text/gbk_text.h"

// "%" and two capital hexadecimal digits per byte of key, in order ("ab" ->
// "%61%62", a space -> "%20"); "" for an empty key.
Text EncodeSearchKey(const Text& key);
