// A working folder for one run of the program.
#pragma once

#include <string>
#include <vector>

namespace e2e {

// A fresh, empty folder of its own under the temporary folder, removed with
// everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string PathOf(const std::string& name) const { return m_path + "\\" + name; }
    bool Has(const std::string& name) const;
    // The file's bytes exactly as stored (no text-mode translation).
    std::string Read(const std::string& name) const;
    bool Write(const std::string& name, const std::string& bytes) const;
    // Names of the entries in the folder, sorted.
    std::vector<std::string> Names() const;

    // Takes away the right to create, change or delete anything in the folder.
    // Reports whether that held: a probe file could then not be created.
    bool MakeReadOnly();
    // Takes away every right to read the file `name`, leaving its content and the
    // right to delete it; reports whether that held: the file could then not be
    // opened for reading. MakeReadable gives the right back.
    bool MakeUnreadable(const std::string& name) const;
    bool MakeReadable(const std::string& name) const;

private:
    bool SetHostWritable(bool writable) const;
    bool SetAccessList(bool readOnly);
    bool CanCreateFiles() const;

    std::string m_path;
    bool m_readOnly = false;
};

// True when this process runs under Wine rather than on Windows.
bool RunningUnderWine();

}  // namespace e2e
