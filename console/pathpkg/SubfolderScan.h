// Every folder below a folder, for "Add with Subfolders".
#pragma once

#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The folders below `root` at any depth: the direct subfolders in ascending byte
// order of their paths, then, for each of them in that order, its own listing.
// Left out, with everything below them: hidden folders and those the interpreter
// never loads from and `addpath` must not be given ("private", "@class" and
// "+package"). A folder reached a second time through a link is listed once.
// `progress` is told the number found so far now and then; nullopt when `cancel`
// was set meanwhile.
std::optional<std::vector<std::string>> ScanSubfolders(
    const std::string& root, const std::atomic<bool>& cancel,
    const std::function<void(size_t found)>& progress = {});
