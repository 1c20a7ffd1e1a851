"""The pavement model: plain data classes, one per part of a pavement.

Lengths, moduli and loads are in the deck's units (in, psi, lb, pci). A model holds
what a pavement is; the mesh generator (mesh.py) turns it into node lines, and the
deck writer (deck.py) into the program's fixed-column deck.
"""

from __future__ import annotations

from dataclasses import dataclass, field
from typing import TYPE_CHECKING, Optional, Sequence, Union

if TYPE_CHECKING:
    from .temperature import Temperature

# A value given once for the whole slab, or once per node (in node order).
PerNode = Union[float, list[float]]

# Subgrade kinds and the deck's code for each when nothing else is asked.
SUBGRADE_CODES = {
    "stress-dependent": 0,
    "dense-liquid": 5,
    "springs": 7,
    "elastic-solid": 8,
    "vlasov": 9,
}

# Symmetry of the modelled part: the first node line in y (half-y), in x (half-x) or
# both (quarter) are lines of symmetry.
SYMMETRY_CODES = {"whole": 0, "half-y": 1, "half-x": 2, "quarter": 3}


@dataclass
class Layer:
    """One slab layer. Thickness and modulus may be given per node."""

    thickness: PerNode
    modulus: PerNode
    poisson: float
    density: float = 0.0  # unit weight, for the self-weight of the curling analyses
    temperature_difference: float = 0.0  # top surface minus bottom surface
    expansion: float = 0.0  # coefficient of thermal expansion


@dataclass
class Region:
    """A rectangle of the plan, limits inclusive: (lower, upper) in x and in y."""

    x: tuple[float, float]
    y: tuple[float, float]

    def contains(self, px: float, py: float) -> bool:
        return self.x[0] <= px <= self.x[1] and self.y[0] <= py <= self.y[1]


@dataclass
class SoilRegion(Region):
    """Nodes of a region take a soil class (1 to 4 built in, 5 its own curve)."""

    soil_class: int = 1


@dataclass
class Subgrade:
    """The support under the slabs.

    kind: "dense-liquid" (consistent foundation matrix, or matrix="lumped" for springs
    at the nodes), "springs", "vlasov" (k and the shear parameter), "elastic-solid"
    (modulus and Poisson ratio of the solid) or "stress-dependent" (soil classes).
    k may be given per node. `code` is the deck's subgrade code when it is not the one
    the kind and matrix give (4 and 6 for a dense liquid, 1 to 3 for one built-in soil
    class everywhere).
    """

    kind: str = "dense-liquid"
    k: PerNode = 0.0
    matrix: str = "consistent"
    modulus: float = 0.0  # elastic solid: Young's modulus
    poisson: float = 0.0  # elastic solid (and carried as read otherwise)
    shear: float = 0.0  # Vlasov shear parameter
    code: Optional[int] = None
    # Stress-dependent subgrade: one class for every node, per node, or by region
    # (soil_class then the class of the nodes outside every region; later regions win).
    soil_class: Optional[int] = None
    soil_classes: Optional[list[int]] = None
    soil_regions: list[SoilRegion] = field(default_factory=list)
    # The curve of every node of class 5, in node order: CEXP, REXP, XLIN, SLOPE,
    # KLIN, DY.
    soil_curves: list[tuple[float, float, float, float, float, float]] = field(
        default_factory=list
    )

    def deck_code(self) -> int:
        if self.code is not None:
            return self.code
        if self.kind not in SUBGRADE_CODES:
            raise ValueError(
                f"subgrade.kind: {self.kind!r} is none of {', '.join(SUBGRADE_CODES)}"
            )
        if self.kind == "dense-liquid" and self.matrix == "lumped":
            return 7
        if self.kind == "dense-liquid" and self.matrix != "consistent":
            raise ValueError(f"subgrade.matrix: {self.matrix!r} is neither consistent nor lumped")
        if self.kind == "stress-dependent" and self.soil_class is not None:
            if self.soil_classes is not None:
                raise ValueError("subgrade.soil_class: give one class, or classes per node")
            if not self.soil_regions:
                # One built-in class for every node is a subgrade code of its own.
                if self.soil_class not in (1, 2, 3):
                    raise ValueError(
                        "subgrade.soil_class: one class for every node is 1, 2 or 3 "
                        "(give class 4 or 5 by region or per node)")
                return self.soil_class
        return SUBGRADE_CODES[self.kind]


@dataclass
class Dowels:
    """Dowel bars across a joint, evenly spaced or at listed nodes or positions."""

    diameter: float
    support: float  # dowel-concrete interaction (modulus of dowel support)
    width: float  # joint opening
    modulus: float = 29.0e6
    poisson: float = 0.3
    spacing: float = 0.0  # > 0: evenly spaced; 0: at `nodes` or `positions`
    inner_diameter: float = 0.0  # hollow bars
    nodes: list[int] = field(default_factory=list)  # near-face nodes, as the deck lists them
    positions: list[float] = field(default_factory=list)  # along the joint; a node line each


@dataclass
class Joint:
    """The load transfer of the joints of one direction.

    Dowels, aggregate interlock (the interlock factor) or both. `switches` are the
    three joint-stiffness component switches; (0, 1, 1) is the program's default.
    `transfer` is the deck's transfer code when it is not the one the parts give.
    """

    dowels: Optional[Dowels] = None
    interlock: Optional[float] = None
    switches: tuple[int, int, int] = (0, 1, 1)
    transfer: Optional[int] = None

    def deck_code(self) -> int:
        if self.transfer is not None:
            return self.transfer
        if self.dowels is not None:
            return 2 if self.interlock is not None else 1
        return 0


@dataclass
class Joints:
    """x: the joints between slab columns (lines of constant x); y: between rows."""

    x: Joint = field(default_factory=Joint)
    y: Joint = field(default_factory=Joint)


@dataclass
class Load:
    """A rectangle (lower, upper limits in x and y) under a uniform pressure."""

    pressure: float
    x: tuple[float, float]
    y: tuple[float, float]

    @property
    def force(self) -> float:
        return self.pressure * (self.x[1] - self.x[0]) * (self.y[1] - self.y[0])


@dataclass
class Gap(Region):
    """An initial gap (void) under every node of a region."""

    gap: float = 0.0


@dataclass
class Contact:
    """The analysis with temperature, self-weight and gaps, with loss of contact.

    winkler: the analysis on a Winkler support (springs at the nodes); otherwise the
    contact iteration on the model's own subgrade. Gaps and nodes without initial
    reactive pressure are given per node or by region.
    """

    winkler: bool = False
    cycles: int = 10  # largest number of contact iterations
    gaps: list[Gap] = field(default_factory=list)
    node_gaps: list[tuple[int, float]] = field(default_factory=list)  # deck order
    zero_pressure: list[Region] = field(default_factory=list)
    zero_pressure_nodes: list[int] = field(default_factory=list)
    code: int = 1  # the deck's temperature switch (every nonzero value is the same)
    winkler_code: Optional[int] = None  # the deck's value when it is neither 0 nor 1


@dataclass
class Iteration:
    """Passes of the stress-dependent subgrade: the most passes, the band around 1
    for the ratio of new to old modulus, the fraction of nodes allowed off it, and
    whether each update prints its node table."""

    passes: int = 1
    tol1: float = 0.0
    tol2: float = 0.0
    print_passes: int = 0


@dataclass
class Contours:
    """The contour data file: six request digits, the grid parameter, and the
    digits and scale of the last record."""

    digits: tuple[int, int, int, int, int, int] = (1, 0, 0, 0, 0, 0)
    grid: int = 0
    digits2: tuple[int, int, int, int, int, int] = (0, 0, 0, 0, 0, 0)
    scale: float = 1.0


@dataclass
class Mesh:
    """Node lines of the mesh.

    x and y: the node lines of every slab column (row), one list each; at a joint the
    last line of one slab and the first of the next share their coordinate. Without
    them the generator makes the lines: the target element `size`, or the finest mesh
    whose model fits `memory` words (the size of the run's work array; the program's
    default when None), refined towards the
    loads and joints with a spacing that grows by at most `ratio` from one element to
    the next, and no coarser than `max_size` anywhere.
    """

    x: Optional[list[list[float]]] = None
    y: Optional[list[list[float]]] = None
    size: Optional[float] = None
    ratio: float = 1.5
    fine: Optional[float] = None  # element size under the loads; default from the loads
    max_size: Optional[float] = None
    memory: Optional[int] = None


@dataclass
class Model:
    """A pavement: slabs, layers, subgrade, joints, loads and what the run computes.

    slabs_x: slab lengths along x (one per slab column, up to 10); slabs_y: widths
    along y (one per slab row). The plan starts at (0, 0).
    """

    title: str
    slabs_x: list[float]
    slabs_y: list[float]
    layers: list[Layer]
    subgrade: Subgrade
    loads: list[Load] = field(default_factory=list)
    bonded: bool = False
    joints: Joints = field(default_factory=Joints)
    symmetry: Union[str, int] = "whole"
    contact: Optional[Contact] = None
    iteration: Optional[Iteration] = None
    contours: Optional[Contours] = None
    mesh: Mesh = field(default_factory=Mesh)
    # Temperature of the top layer (a difference or a profile); it asks for the
    # analysis with temperature (a default Contact when none is given).
    temperature: Optional["Temperature"] = None
    input_mode: int = 1
    composite_code: Optional[int] = None  # the deck's composite-action value beyond 0/1

    def deck(self) -> str:
        """The fixed-column deck of this model."""
        from .deck import write_deck

        return write_deck(self)

    def run(self):
        """Runs the model in-process, with a work array of `mesh.memory` words when
        given; returns its Results."""
        from .engine import run_deck
        from .results import Results

        text = self.deck()
        return Results.from_run(run_deck(text, self.mesh.memory), deck=text, model=self)

    def symmetry_code(self) -> int:
        if isinstance(self.symmetry, int):
            return self.symmetry
        if self.symmetry not in SYMMETRY_CODES:
            raise ValueError(
                f"symmetry: {self.symmetry!r} is none of {', '.join(SYMMETRY_CODES)}"
            )
        return SYMMETRY_CODES[self.symmetry]


def total_load(loads: Sequence[Load]) -> float:
    return sum(load.force for load in loads)
