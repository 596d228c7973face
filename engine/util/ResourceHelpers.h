// Resources of this module or of a module loaded by path (platform/resource/Resource.h),
// written out to files. None of these throws.
#pragma once

#include <string_view>

#include "platform/resource/Resource.h"

// Writes the resource of that type and id to a file at path (a system path), replacing
// any file there. module "this" is the module whose code calls; any other text is the
// path of a shared library, loaded for the call and freed again on every path. False
// when the module cannot be loaded, holds no such resource, or the file cannot be written.
bool SaveResourceToFile(std::string_view module, const ResourceType& type, int id,
                        std::string_view path);
// The same for the resource whose type number equals its id.
bool SaveResourceToFileById(std::string_view module, int id, std::string_view path);

// True when this module holds a resource whose type number and id are both id.
bool ResourceExists(int id);
