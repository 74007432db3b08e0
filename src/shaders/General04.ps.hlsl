// Opaque white everywhere.
float4 main(float4 position : SV_Position) : SV_Target
{
    return float4(1, 1, 1, 1);
}
