#pragma once
// What the main window asks of the online service: whether a ladder it
// downloaded still awaits its upload (the service holds an update lock for
// it meanwhile), and the upload itself. The online form answers once it
// exists; without it nothing awaits an upload.

#include <string>

class OnlineLink {
public:
    virtual ~OnlineLink() = default;
    virtual bool DownloadAwaitsUpload() const = 0;
    // Uploads the current event, or with the request "unlock" releases the
    // update lock; true when the service took it.
    virtual bool Upload(const std::string& request) = 0;
};
