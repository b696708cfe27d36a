#pragma once
// Standard input, output and error closed by whoever started the program
// are held by placeholders that refuse writes, so that no file opened later
// takes their numbers (an export to standard output would land in it).
// Called first thing.
void holdClosedStandardStreams();
