"""varnel.fit against numbers recorded from independent tools (each with the call that made it), not
against the program built from the same code; and the bits of one example's fit, as the C++ tests
pin them."""
import math

import pytest

import varnel
from conftest import EXAMPLES


def fit(name, **options):
    return varnel.fit(*varnel.read_data(EXAMPLES / name), bounds="none", **options)


def close(actual, reference, relative=1e-7):
    """The other tools converge to about 1e-8 relative; 1e-7 is what they can vouch for."""
    return math.isclose(actual, reference, rel_tol=relative)


def test_failures_with_suspensions_match_survreg():
    # R 4.2, survival 3.4: f <- survreg(Surv(futime, fustat) ~ 1, data = ovarian, dist = "weibull",
    #   control = survreg.control(rel.tolerance = 1e-14, toler.chol = 1e-15, iter.max = 200))
    # m = 1 / f$scale, eta = exp(coef(f)), log-likelihood f$loglik[1].
    two = fit("ovarian_suspensions.dat").two_parameter
    assert close(two.m, 1.1080597395734666)
    assert close(two.eta, 1225.4189589285747)
    assert close(two.log_likelihood, -97.953901047130771)


def test_three_parameters_match_a_converged_scipy_fit():
    # scipy 1.10 (python3-scipy): minimize(lambda p: -weibull_min.logpdf(t, p[0], p[1], p[2]).sum(),
    #   weibull_min.fit(t), method="Nelder-Mead", options=dict(xatol=1e-13, fatol=1e-15,
    #   maxiter=100000, maxfev=100000)), restarted five times from its own result; p = (m, gamma, eta).
    three = fit("ball_bearings.dat").three_parameter
    assert close(three.m, 1.594299030313587)
    assert close(three.eta, 63.880046576119916)
    assert close(three.gamma, 14.875915868996856)
    assert close(three.log_likelihood, -112.8501893499404)


def test_intervals_match_fitdistcens():
    # R, fitdistrplus 1.1: g <- fitdistcens(salinity, "weibull", control = list(reltol = 1e-16, maxit = 1e5));
    #   fitdistcens(salinity, "weibull", start = as.list(g$estimate), optim.method = "BFGS",
    #   control = list(reltol = 1e-16, maxit = 1e5)): shape, scale, loglik.
    two = fit("salinity_intervals.dat").two_parameter
    assert close(two.m, 2.6470718452523618)
    assert close(two.eta, 35.857086031123785)
    assert close(two.log_likelihood, -139.09971357395514)


def test_data_over_six_hundred_decades_matches_mpmath():
    # mpmath 1.3 at 60 digits: the profile equation's root by bisection on [0.001, 0.01] for
    # x = 10^k, k = -300, -200, ..., 300; eta = (sum x^m / 7)^(1/m).
    two = varnel.fit([10.0 ** k for k in range(-300, 301, 100)], model="2p", bounds="none").two_parameter
    assert close(two.m, 0.0024125763229428253, 1e-13)
    assert close(two.eta, 3.1673939271068346e99, 1e-12)


@pytest.mark.parametrize("threads", [1, 3])
def test_an_examples_fit_keeps_its_bits(threads):
    result = fit("ball_bearings.dat", threads=threads)
    assert result.three_parameter.m.hex() == "0x1.9823fb815acebp+0"
    assert result.three_parameter.gamma.hex() == "0x1.dc077f74dd54ap+3"
    assert result.two_parameter.eta.hex() == "0x1.47836a006ae1fp+6"
