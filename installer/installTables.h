#pragma once
// The tables that drive all of the installer's work: the product's files
// with where each lies on the CD and below the installation folder, the
// menu entries, the folders of a CD and of an installation, and the three
// event-file types.

#include <string>
#include <vector>

extern const char* const kInstallerVersionText;

struct InstallFileRow {
    const char* name;
    bool binary;               // the FTP transfer type: image, else ASCII
    const char* cdSubdir;      // "" for the CD's root
    const char* installSubdir; // "" for the installation folder, ".." for its parent
};

struct ShortcutRow {
    const char* caption; // also the entry's file name
    const char* icon;    // an icon in the installation folder, without ".ico"
    const char* arguments;
    const char* target; // relative to the installation folder
};

struct FileTypeRow {
    char letter; // the main program's kind switch
    const char* typeWord;
    const char* extension;
    const char* mimeType;
};

const std::vector<InstallFileRow>& FileTable();
const std::vector<ShortcutRow>& ShortcutTable();
const std::vector<std::string>& CdSubdirectories();
const std::vector<std::string>& InstallSubdirectories();
// In the order their boxes are registered: ladder, draw, schedule.
const std::vector<FileTypeRow>& FileTypes();
const FileTypeRow& FileTypeFor(char letter);

// The files that must be runnable once downloaded: the two programs and the
// CD's start script.
bool IsProgramFile(const InstallFileRow& row);

// "Rostrix." + type word + ".1".
std::string ProgId(const FileTypeRow& type);
