# Reference maxima of the two-Weibull mixture for weibull_mixture_test.cpp: the negative
# log-likelihood in (logit p, ln m1, ln eta1, ln m2, ln eta2) minimised by optim from many starts
# (a grid of splits and random points), each polished by repeated BFGS runs; of the runs whose
# shapes stay below 1e4 and whose components each hold at least 2 expected failures, the highest.
# Run: Rscript tests/lifedata/mixture_reference.R FILE   (lines "TIME F" or "TIME S")
args <- commandArgs(TRUE)
d <- read.table(args[1], comment.char = "#", col.names = c("t", "state"), colClasses = c("numeric", "character"))
fail <- d$state == "F"
nll <- function(th) {
  p <- plogis(th[1]); m1 <- exp(th[2]); e1 <- exp(th[3]); m2 <- exp(th[4]); e2 <- exp(th[5])
  f <- p * dweibull(d$t, m1, e1) + (1 - p) * dweibull(d$t, m2, e2)
  s <- p * pweibull(d$t, m1, e1, lower.tail = FALSE) + (1 - p) * pweibull(d$t, m2, e2, lower.tail = FALSE)
  -sum(log(ifelse(fail, f, s)))
}
held <- function(th) {
  p <- plogis(th[1])
  a <- p * dweibull(d$t[fail], exp(th[2]), exp(th[3]))
  b <- (1 - p) * dweibull(d$t[fail], exp(th[4]), exp(th[5]))
  c(sum(a / (a + b)), sum(b / (a + b)))
}
polish <- function(th) {
  for (i in 1:20) {
    r <- optim(th, nll, method = "BFGS", control = list(reltol = 1e-16, maxit = 10000, ndeps = rep(1e-6, 5)))
    if (!is.finite(r$value)) return(NULL)
    done <- abs(r$value - nll(th)) < 1e-13
    th <- r$par
    if (done) break
  }
  th
}
set.seed(1)
lt <- sort(log(d$t[fail])); n <- length(lt)
starts <- list()
for (j in unique(round(seq(2, n - 2, length.out = min(n - 3, 40))))) {
  a <- lt[1:j]; b <- lt[(j + 1):n]
  m1 <- 1.28 / max(sd(a), 0.01); m2 <- 1.28 / max(sd(b), 0.01)
  starts[[length(starts) + 1]] <- c(qlogis(j / n), log(m1), mean(a) + 0.577 / m1, log(m2), mean(b) + 0.577 / m2)
}
for (i in 1:60) starts[[length(starts) + 1]] <- c(rnorm(1), rnorm(1, 0.5, 1), sample(lt, 1), rnorm(1, 0.5, 1), sample(lt, 1))
best <- NULL
for (s in starts) {
  th <- tryCatch(polish(s), error = function(e) NULL)
  if (is.null(th) || max(th[c(2, 4)]) > log(1e4) || min(held(th)) < 2) next
  if (th[5] < th[3]) th <- c(-th[1], th[4], th[5], th[2], th[3])
  if (is.null(best) || nll(th) < nll(best)) best <- th
}
cat(sprintf("p %.10g m1 %.10g eta1 %.10g m2 %.10g eta2 %.10g logLik %.12g\n", plogis(best[1]),
            exp(best[2]), exp(best[3]), exp(best[4]), exp(best[5]), -nll(best)))
# Standard errors of (logit p, ln m1, ln eta1, ln m2, ln eta2) from the numerical Hessian there.
cat(sprintf("se %s\n", paste(sprintf("%.8g", sqrt(diag(solve(optimHess(best, nll))))), collapse = " ")))
