// file_error.cpp: the file errors a player can meet, in words.
#include "files/file_error.h"

std::string fileErrorText(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return "there is no such file";
    case ERROR_PATH_NOT_FOUND: return "there is no such folder";
    case ERROR_ACCESS_DENIED: return "permission denied";
    case ERROR_WRITE_PROTECT: return "the disk is read-only";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "the disk is full";
    case ERROR_FILENAME_EXCED_RANGE: return "the path is too long";
    case ERROR_INVALID_NAME: return "the name is not a valid file name";
    case ERROR_FILE_TOO_LARGE: return "the file is too large for the disk";
    case ERROR_TOO_MANY_OPEN_FILES: return "too many files are open";
    case ERROR_NOT_ENOUGH_MEMORY: return "there is not enough memory";
    case ERROR_NOT_SUPPORTED: return "this kind of file cannot be used";
    case ERROR_UNABLE_TO_REMOVE_REPLACED: return "the old file could not be kept as the backup";
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT:
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: return "the new file could not take the old one's place";
    default: return "system error " + std::to_string(error);
    }
}
