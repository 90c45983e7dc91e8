// The process-wide display scale factor. The program multiplies the fixed
// pixel sizes it hands to the toolkit by it; the toolkit itself takes every
// size as device pixels, so nothing is scaled twice.
#pragma once

namespace pt {

void SetDisplayScale(float factor);  // ignored unless finite and > 0
float DisplayScale();
// n × the factor, rounded to the nearest integer (halves away from zero).
int Dpi(int n);
float DpiF(float n);

}  // namespace pt
