#pragma once
// The files Kavsetup carries, gathered by the build into one resource
// collection that lives inside the executable.

// Makes ":/INSTALLFILE/<NAME>" and ":/TEMPFILE/FILESLIST" readable.
bool RegisterInstallFiles();
