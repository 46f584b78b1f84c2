#pragma once

#include <QString>

// Deletes the file at path if there is one; a folder or nothing at all is left
// alone. False when the file is there and cannot be deleted.
bool deleteFileIfExists(const QString &path);

// Puts source in place of target in one step (rename over the target), so
// that target always names either its old content or the new one. Returns
// false when that fails; target is then as it was and source stays.
[[nodiscard]] bool replaceFile(const QString &source, const QString &target);
