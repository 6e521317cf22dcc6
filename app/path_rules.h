#pragma once
// How the program puts paths together and takes them apart (paths are UTF-8, "/"-separated).

#include <string>

// folder + "/" + name, without doubling a separator the folder already ends with.
std::string JoinFolderAndName(const std::string& folder, const std::string& name);
// The path up to and including its last "/"; empty when it has none.
std::string FolderWithTrailingSlash(const std::string& path);
// The file name with its extension, without the folder.
std::string FileNamePart(const std::string& path);
