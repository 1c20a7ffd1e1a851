"""MERIDOLAN from Python: pavement models in a few lines, meshes made for them,
results as tables and maps."""

from .deck import read_deck, write_deck
from .mesh import MeshReport, generate
from .modelfile import model_from_toml, model_to_toml, read_model_file
from .results import Results
from .temperature import Temperature
from . import loads
from .engine import RunOutput, dimensions, read_values, run_deck
from .model import (
    Contact,
    Contours,
    Dowels,
    Gap,
    Iteration,
    Joint,
    Joints,
    Layer,
    Load,
    Mesh,
    Model,
    Region,
    SoilRegion,
    Subgrade,
)

__all__ = [
    "Contact", "Contours", "Dowels", "Gap", "Iteration", "Joint", "Joints", "Layer", "Load",
    "Mesh", "MeshReport", "Model", "Region", "Results", "RunOutput", "SoilRegion", "Subgrade",
    "Temperature", "dimensions", "generate", "loads", "model_from_toml", "model_to_toml",
    "read_deck", "read_model_file", "read_values", "run_deck", "write_deck",
]
