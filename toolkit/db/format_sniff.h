// The format sniff over a file the load driver has opened.
#pragma once
#include "toolkit/ad.h"

// Reads the first AD_SNIFF_SIZE bytes of the file (from where it stands) and
// fills the sniff; 1 when a load can start on it, else 0 with the error set.
int adSniffFile(HostFile* file, AdFileSniff* sniff);
