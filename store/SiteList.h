// WebSites.txt: the list of sites to visit, one entry per line.
#pragma once

#include <cstddef>

#include "res/resource.h"

constexpr const char* kSiteListFile = "WebSites.txt";
constexpr size_t kUrlBufferSize = 500;  // an entry of at most 499 characters and its NUL
constexpr const char* kDefaultSite = MAKER_WEB_HOST "/wispnet/empty";

// Puts one entry of the list into `buffer` (kUrlBufferSize bytes). 0 when the list
// was read; 1 when there was none (or it could not be read) and the buffer holds
// the default entry.
int PickSite(char* buffer, const char* path = kSiteListFile);
