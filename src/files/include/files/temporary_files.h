// The temporaries that a save writes beside its target: their names, unique
// per writer, and the clearing away of those that a killed writer left.
#pragma once

#include <chrono>
#include <filesystem>
#include <system_error>
#include <vector>

#include "files/file_access.h"

namespace telmor {

// How old a temporary must be before a save takes it for a killed writer's:
// no live save takes anywhere near this long, so no live writer loses its file.
inline constexpr std::chrono::minutes kStaleTemporaryAge{10};

// A fresh name for a temporary of target, in target's folder (so that the
// rename stays on one file system): target's name, a dot, six random letters
// or digits, ".tmp" (abcari.csv.Q3x9Lk.tmp). Unique enough that two writers
// rarely draw the same one; creating it new and exclusively settles the rest.
std::filesystem::path temporary_name(const std::filesystem::path& target);

// Whether name is a temporary of target by its form: one of temporary_name's
// names, or target's name and ".tmp" as earlier versions wrote it.
bool is_temporary_of(const std::filesystem::path& target, const std::filesystem::path& name);

// A temporary of a killed writer that could not be removed, and why.
struct LeftTemporary {
  std::filesystem::path path;
  std::error_code error;
};

// Removes the temporaries of target in its folder that are older than
// kStaleTemporaryAge (links are left alone: no writer leaves one). Returns
// those that could not be removed.
std::vector<LeftTemporary> remove_stale_temporaries(const std::filesystem::path& target,
                                                    const FileAccess& files);

}  // namespace telmor
