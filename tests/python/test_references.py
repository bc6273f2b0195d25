"""The package's numbers against an independent tool, recorded here, so that these tests hold even
if the program they are otherwise compared with were wrong in the same way."""
import pytest

import varnel
from conftest import EXAMPLES


def close(value, reference, relative=1e-9):
    return value == pytest.approx(reference, rel=relative)


def test_suspensions_at_a_given_location_with_fisher_bounds():
    # R 4.2, survival 3.4, the ovarian data shifted by 50 days:
    #   f <- survreg(Surv(futime - 50, fustat) ~ 1, data = ovarian, dist = "weibull",
    #                control = survreg.control(rel.tolerance = 1e-14, toler.chol = 1e-15, iter.max = 200))
    #   m = 1 / f$scale, eta = exp(coef(f)), f$loglik[1]; v <- vcov(f), z <- qnorm(0.975):
    #   eta bounds exp(coef(f) -/+ z sqrt(v[1, 1])), m bounds exp(-log(f$scale) -/+ z sqrt(v[2, 2])).
    two = varnel.fit(*varnel.read_data(EXAMPLES / "ovarian_suspensions.dat"), gamma=50).two_parameter
    assert two.gamma == 50
    assert close(two.m, 0.88596275314128536)
    assert close(two.eta, 1284.7097102138230)
    assert close(two.log_likelihood, -96.872722756472683)
    assert close(two.bounds.eta.fisher.lower, 620.90387841844563)
    assert close(two.bounds.eta.fisher.upper, 2658.1876791005934)
    assert close(two.bounds.m.fisher.lower, 0.53268446883382292)
    assert close(two.bounds.m.fisher.upper, 1.4735364852519366)


def test_likelihood_ratio_bounds_of_the_shape_at_ninety_percent():
    # R, as above with the scale held: ll <- function(m) survreg(..., scale = 1 / m, control = ...)$loglik[1];
    #   cut <- f$loglik[1] - qchisq(0.9, 1) / 2; uniroot(function(m) ll(m) - cut, ..., tol = 1e-13)
    #   below and above 1 / f$scale.
    two = varnel.fit(*varnel.read_data(EXAMPLES / "ovarian_suspensions.dat"), gamma=50, confidence=0.9,
                     bounds="lr").two_parameter
    assert close(two.bounds.m.likelihood_ratio.lower, 0.5545350554409636, 1e-8)
    assert close(two.bounds.m.likelihood_ratio.upper, 1.3113322087230879, 1e-8)
