#include "toolkit/solids/diagnostics.h"

#include <cstdio>

DiagnosticSwitches diagnosticSwitches;

namespace {
DiagnosticSink currentSink = nullptr;
void* currentContext = nullptr;
}  // namespace

void setDiagnosticSink(DiagnosticSink sink, void* context) {
    currentSink = sink;
    currentContext = sink ? context : nullptr;
}

void writeDiagnostic(DiagnosticStream stream, std::string_view text) {
    if (currentSink) {
        currentSink(stream, text, currentContext);
        return;
    }
    std::FILE* file = stream == DiagnosticStream::out ? stdout : stderr;
    std::fwrite(text.data(), 1, text.size(), file);
}
