// The search for the location parameter `gamma` on the Weibull plot.
#pragma once

// Fits a least-squares parabola to the Weibull plot reduced by `g`; returns the sign of its
// quadratic coefficient (-1 also for NaN) and stores the plot's squared correlation in `*r2`.
int weibullPlotFit(double g, double* r2);

// Searches between 0 and 0.99 times the smallest observation for the bend of the plot to change sign.
double findLocationParameter();
