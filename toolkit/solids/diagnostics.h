// Diagnostics of the solid-model code. Every message goes through one sink,
// which by default writes to the standard output or error stream the message
// names; a host or a test installs its own. No message changes a result.
#pragma once

#include <ostream>
#include <sstream>
#include <string_view>

enum class DiagnosticStream { out, err };

using DiagnosticSink = void (*)(DiagnosticStream stream, std::string_view text, void* context);

// A null sink restores the standard streams.
void setDiagnosticSink(DiagnosticSink sink, void* context);
void writeDiagnostic(DiagnosticStream stream, std::string_view text);

// Collects one message with stream insertions and hands it to the sink when
// it goes out of scope:  Diagnostic(DiagnosticStream::err) << "*** Error: " << n;
class Diagnostic {
public:
    explicit Diagnostic(DiagnosticStream stream) : stream_(stream) {}
    Diagnostic(const Diagnostic&) = delete;
    Diagnostic& operator=(const Diagnostic&) = delete;
    ~Diagnostic() { writeDiagnostic(stream_, text_.view()); }

    template <class T>
    Diagnostic& operator<<(const T& value) {
        text_ << value;
        return *this;
    }
    std::ostream& stream() { return text_; }

private:
    DiagnosticStream stream_;
    std::ostringstream text_;
};

// Switches of messages that only developers want; all off, and nothing in the
// system turns them on.
struct DiagnosticSwitches {
    // SAT reader
    bool notes = false;
    bool subtypeWarnings = false;
    bool referenceErrors = false;
    bool tableDump = false;
    // geometry records and subtypes
    bool splineRecords = false;
    bool splineSubtypes = false;
    bool surfaceNotes = false;
    // face classification and renderer
    bool classification = false;
    bool partition = false;
    bool drawNurbsSurfaces = false;
    bool drawRotsurSurfaces = false;
    bool drawTorusSurfaces = false;
    bool drawSphereSurfaces = false;
    bool drawCylinderSurfaces = false;
    bool faceFilter = false;
    bool missingIntcurve = false;
    // curve and surface classes
    bool curve = false;
    bool nurbs = false;
    bool surface = false;
    bool plane = false;
    bool torus = false;
    // Where some geometry records describe their surface after reading.
    std::ostream* traceStream = nullptr;
};

extern DiagnosticSwitches diagnosticSwitches;
