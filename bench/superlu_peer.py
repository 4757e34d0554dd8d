#!/usr/bin/python3
"""One complex sparse LU by SuperLU (scipy) of a 5-point grid, the peer that
fast_solver_bench's figures are held against.

    /usr/bin/python3 bench/superlu_peer.py [--nx 400] [--ny 250] [--repeat 3]

The grid is a complex symmetric 5-point operator of the plane's kind: a
Laplacian of lossy branches plus a lossy shunt on every node. SuperLU orders
with minimum degree on A^T + A, as in the comparison the solver's goals are
stated against. Prints the median of the repeats.
"""
import argparse
import statistics
import time

import numpy as np
import scipy.sparse as sp
import scipy.sparse.linalg as sla


def grid(nx, ny):
    branch = -1.0 + 0.02j
    def line(n):
        return sp.diags([np.full(n - 1, branch), np.full(n - 1, branch)], [-1, 1], shape=(n, n))
    a = sp.kron(sp.identity(ny), line(nx)) + sp.kron(line(ny), sp.identity(nx))
    degree = -np.asarray(a.sum(axis=1)).ravel()
    return (a + sp.diags(degree + (0.001 + 0.05j))).tocsc().astype(np.complex128)


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--nx", type=int, default=400)
    p.add_argument("--ny", type=int, default=250)
    p.add_argument("--repeat", type=int, default=3)
    o = p.parse_args()
    a = grid(o.nx, o.ny)
    seconds = []
    for _ in range(o.repeat):
        start = time.perf_counter()
        lu = sla.splu(a, permc_spec="MMD_AT_PLUS_A")
        seconds.append(time.perf_counter() - start)
    print(f"SuperLU splu, complex {o.nx} x {o.ny} 5-point grid (N = {a.shape[0]}), MMD_AT_PLUS_A: "
          f"median {statistics.median(seconds):.3f} s of {o.repeat}, L+U nnz {lu.L.nnz + lu.U.nnz}")


if __name__ == "__main__":
    main()
