#pragma once
// The installer's file list: which folders to create and which embedded file
// goes where. Each line is "<DIR>" or "<FILE>" followed by text in which
// folder macros ("[PROGRAM]", "[PROJECT]"...) are expanded.

#include "AppClasses.h"

#include <QString>
#include <optional>

// The folder macros of an installation. Expansion is the configuration
// object's own, with this list taking the place of its [Paths].
class TkvMacroList {
public:
    TkvMacroList();
    TkvMacroList(const TkvMacroList& other) : TkvMacroList() { FExpander.Paths = other.FExpander.Paths; }
    TkvMacroList& operator=(const TkvMacroList& other)
    {
        FExpander.Paths = other.FExpander.Paths;
        return *this;
    }

    // Stores a folder, ending it with a separator when it lacks one.
    void SetFolder(const QString& name, const QString& folder);
    QString Value(const QString& name) const { return FExpander.Paths.Value(name); }
    // Unknown macros expand to nothing.
    QString Expand(const QString& text) const { return FExpander.ExpandMacros(text); }

    // The folder with a trailing separator; either separator counts.
    static QString WithSeparator(const QString& folder);

private:
    TAppGlobalInfo FExpander;
};

struct TkvFileEntry {
    enum Kind { Dir, File };
    Kind kind = Dir;
    QString name; // the embedded file's name; empty for a folder
    QString path; // expanded, as the list writes it (backslashes allowed)
};

// One line of the list: nothing for an empty line, a comment (";"), a line
// without ">" or a kind other than <DIR> and <FILE>.
std::optional<TkvFileEntry> ParseFileListLine(const QString& line, const TkvMacroList& macros);
